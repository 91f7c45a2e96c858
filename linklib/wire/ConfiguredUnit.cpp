#include "ConfiguredUnit.h"

namespace sernox::wire {

ConfiguredUnit::ConfiguredUnit(Resolve resolve, Make make)
    : resolve_(std::move(resolve)), make_(std::move(make)), setting_(resolve_()), unit_(make_(setting_))
{
}

bool ConfiguredUnit::Open()
{
    std::string now = resolve_();
    if (now != setting_) {
        unit_->Close();
        unit_ = make_(now);
        setting_ = std::move(now);
    }
    return unit_->Open();
}

} // namespace sernox::wire
