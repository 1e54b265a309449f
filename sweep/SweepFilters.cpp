#include "sweep/SweepFilters.h"

#include "config/SweepSettings.h"
#include "platform/DosAttributes.h"

SweepFilters SweepFilters::Read(const SweepSettings& settings) {
    return {settings.system, settings.readonly, settings.hidden, settings.expiredays};
}

uint32_t SweepFilters::SparedAttributes() const {
    return (system ? 0 : platform::AttributeSystem) | (readonly ? 0 : platform::AttributeReadOnly) |
           (hidden ? 0 : platform::AttributeHidden);
}

bool SweepFilters::OldEnough(int64_t lastWrite, int64_t startTime) const {
    return expiredays == 0 || (startTime - lastWrite) / SecondsPerDay >= expiredays;
}
