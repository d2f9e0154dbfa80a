#pragma once
#include <string>
#include <vector>

class MeshInstance;
class Scene;
class SceneLoader;

// What a placed object is called where the user names it: the part id for a
// part, else the model's file name (without its folders).
std::string placedName(const SceneLoader& loader, const MeshInstance& instance);

// The placed objects (children of the root, in order) that one word names:
// a 0-based position when the word is a whole number, else every object
// whose part id, model name or model file name it is. Empty, with a reason,
// when it names none.
std::vector<MeshInstance*> findPlaced(const Scene& scene, const SceneLoader& loader, const std::string& word,
                                      std::string& reason);
