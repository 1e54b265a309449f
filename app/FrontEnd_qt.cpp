#include "app/FrontEnd.h"

#include <QApplication>

#include "app/ProcessObjects.h"
#include "platform/Process.h"
#include "ui/qt/MainDialog.h"
#include "ui/qt/Prompt.h"

struct FrontEnd::State {
    State(int& argc, char** argv) : application(argc, argv) {}

    QApplication application;
};

std::unique_ptr<FrontEnd> FrontEnd::Create(int& argc, char** argv, const std::string&, std::string& obstacle) {
    if (!platform::HasDisplay()) {
        obstacle = NoDisplayText;
        return nullptr;
    }
    return std::unique_ptr<FrontEnd>(new FrontEnd(std::make_unique<State>(argc, argv)));
}

FrontEnd::FrontEnd(std::unique_ptr<State> state) : state(std::move(state)) {}

FrontEnd::~FrontEnd() = default;

bool FrontEnd::Inform(const std::string& text) {
    Prompt::Inform(nullptr, text);
    return true;
}

// The window's result is not used: whatever the user did, the run ended well.
ExitStatus FrontEnd::RunWindow(SweepApp& app, bool) {
    MainDialog window(sweepSettings, sweepJob, statusChannel, app.SettingsPath());
    window.exec();
    return ExitStatus::Success;
}
