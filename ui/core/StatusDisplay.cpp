#include "ui/core/StatusDisplay.h"

#include "sweep/StatusChannel.h"

StatusUpdate NextStatusUpdate(StatusChannel& channel) {
    const StatusRecord record = channel.Take();
    channel.TrimOldest(BacklogKept);
    StatusUpdate update;
    if (record.kind != StatusKind::Info && record.kind != StatusKind::Error) return update;
    update.colour = record.kind == StatusKind::Info ? InfoColour : ErrorColour;
    if (!record.text.empty()) update.text = record.text;
    return update;
}
