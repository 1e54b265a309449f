#include "sweep/SweepFilters.h"

#include "config/SweepSettings.h"
#include "platform/DosAttributes.h"

SweepFilters SweepFilters::Read(const SweepSettings& settings) {
    return {settings.system, settings.readonly, settings.hidden, settings.expiredays};
}

bool SweepFilters::AttributesAllowed(uint32_t attributes) const {
    if ((attributes & platform::AttributeSystem) && !system) return false;
    if ((attributes & platform::AttributeReadOnly) && !readonly) return false;
    return !(attributes & platform::AttributeHidden) || hidden;
}

bool SweepFilters::OldEnough(int64_t lastWrite, int64_t startTime) const {
    return expiredays == 0 || (startTime - lastWrite) / SecondsPerDay >= expiredays;
}
