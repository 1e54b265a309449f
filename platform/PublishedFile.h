#pragma once
// A small file that another program reads whole while this one may replace
// it, such as a metrics collector's text file.

#include <string>

namespace platform {

enum class PublishResult {
    Published,
    NoFolder,  // `folder` does not exist: nothing was written
    Failed,    // anything else; nothing is left behind
};

// Writes `bytes` as `name` in `folder`: first under `name` with a dot and the
// process's id added, in the same folder, then renamed over `name` in one
// step, so that a reader sees the old file or the new one, never a part of
// either. The file is readable by everyone and writable by its owner alone,
// whatever the process's umask.
PublishResult PublishFile(const std::string& folder, const std::string& name, const std::string& bytes);

}  // namespace platform
