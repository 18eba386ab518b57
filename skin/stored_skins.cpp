#include "skin/stored_skins.h"

namespace kalvo {

TsStoredSkin& TsStoredSkins::Add() {
    items_.push_back(std::make_unique<TsStoredSkin>());
    return *items_.back();
}

std::vector<std::string> TsStoredSkins::Names() const {
    std::vector<std::string> names;
    names.reserve(items_.size());
    for (const auto& item : items_)
        names.push_back(item->Name);
    return names;
}

} // namespace kalvo
