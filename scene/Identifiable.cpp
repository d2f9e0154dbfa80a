#include "scene/Identifiable.h"

namespace {
uint32_t nextId = 1;
}

std::vector<Identifiable*>& idRegistry()
{
    static std::vector<Identifiable*> registry(10, nullptr);
    return registry;
}

Identifiable* lookupId(uint32_t id)
{
    std::vector<Identifiable*>& r = idRegistry();
    return id < r.size() ? r[id] : nullptr;
}

Identifiable::Identifiable() : id(nextId++)
{
    std::vector<Identifiable*>& r = idRegistry();
    r.resize(static_cast<size_t>(id) + 1, nullptr);
    r[id] = this;
}

Identifiable::~Identifiable()
{
    std::vector<Identifiable*>& r = idRegistry();
    if (id < r.size() && r[id] == this)
        r[id] = nullptr;
}
