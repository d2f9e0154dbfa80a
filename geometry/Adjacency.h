#pragma once
#include <cstdint>
#include <vector>
void buildAdjacency(int triangleCount, const uint32_t* indices, uint32_t* outIndices, int vertexCount, const float* positions, int& newVertexCount, std::vector<float>& newPositions);
