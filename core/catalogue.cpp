#include "core/catalogue.h"

namespace vx {

bool NodeFactoryData::registerKind(std::unique_ptr<Node> prototype) {
    NodeFactoryData* group = nullptr;
    for (auto& g : children_)
        if (g->category_ == prototype->category) group = g.get();
    if (!group) group = children_.emplace_back(std::make_unique<NodeFactoryData>(prototype->category)).get();
    for (const auto& e : group->children_)
        if (e->prototype_->name == prototype->name) return false;
    group->children_.push_back(std::make_unique<NodeFactoryData>(std::move(prototype)));
    return true;
}

std::unique_ptr<Node> NodeFactoryData::createByName(std::string_view category, std::string_view name) const {
    for (const auto& g : children_) {
        if (g->category_ != category) continue;
        for (const auto& e : g->children_)
            if (e->prototype_->name == name) return e->create();
    }
    return nullptr;
}

std::unique_ptr<Node> NodeFactoryData::create() const {
    std::unique_ptr<Node> n = prototype_->createNew();
    n->timing = prototype_->timing;
    return n;
}

}  // namespace vx
