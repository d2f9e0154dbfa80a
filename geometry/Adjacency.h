#pragma once

#include <cstdint>
#include <vector>

// Turns an indexed triangle list into a GL_TRIANGLES_ADJACENCY index list
// (six indices per triangle: c, adj(c->a), a, adj(a->b), b, adj(b->c)).
// Where a later triangle runs along a directed edge that an earlier one
// already uses, some of its corners get fresh copies of their vertices, so
// newVertexCount >= vertexCount and newPositions starts with the input
// positions, followed by the copies in the order they were made.
// outIndices needs room for 6 * triangleCount entries.
// Prints "WARNING: mesh not two-manifold" when any edge has no partner and
// always "Boundaries: <count>".
void buildAdjacency(int triangleCount, const uint32_t* indices, uint32_t* outIndices,
                    int vertexCount, const float* positions,
                    int& newVertexCount, std::vector<float>& newPositions);
