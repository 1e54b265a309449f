#pragma once
// vorn.ini in a fresh folder of its own, and the exact file the defaults make.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "config/SweepSettings.h"
#include "support/TempDir.h"

namespace settingstest {

namespace fs = std::filesystem;

inline const std::string DefaultFile =
    "[vorn]\r\nfilepath=D:\\logs\\\r\nfilename=*.*\r\nregex=false\r\nsubdir=true\r\n"
    "system=false\r\nreadonly=true\r\nhidden=true\r\ndirtree=true\r\nexpiredays=0\r\nspeed=1\r\n";

class SweepSettingsTest : public ::testing::Test {
protected:
    bool LoadFile(const std::string& bytes) {
        dir.Write(SweepSettings::FileName, bytes);
        return settings.Load(Ini());
    }
    // vorn.ini's path as the program is given it, and as a path to look at.
    std::string Ini() const { return dir.Dir() + SweepSettings::FileName; }
    fs::path IniPath() const { return dir / SweepSettings::FileName; }
    bool OnlyIniInDir() const {
        return std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()) == 1;
    }

    TempDir dir;
    SweepSettings settings;
};

}  // namespace settingstest
