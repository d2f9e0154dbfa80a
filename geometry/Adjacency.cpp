#include "geometry/Adjacency.h"
void buildAdjacency(int t, const uint32_t* in, uint32_t* out, int n, const float* p, int& nc, std::vector<float>& np){ for(int i=0;i<t*3;i++){out[2*i]=in[i];out[2*i+1]=in[i];} nc=n; np.assign(p,p+3*n);}
