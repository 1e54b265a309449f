#include "ui/core/MainDialogCore.h"

#include <map>

#include "config/SweepSettings.h"
#include "ui/core/LinkCommands.h"
#include "ui/core/MainDialogView.h"
#include "ui/core/MainTemplate.h"
#include "ui/core/StatusDisplay.h"

MainDialogCore::MainDialogCore(MainDialogView& view, SweepSettings& settings, WorkerThread& worker,
                               StatusChannel& channel, std::string settingsPath)
    : view(view), settings(settings), channel(channel), settingsPath(std::move(settingsPath)), run(worker) {}

void MainDialogCore::Initialise() {
    fields = FieldsFromSettings(settings);
    Exchange(ExchangeDirection::ToControls);
}

// In the order the fields are transferred.
bool MainDialogCore::Exchange(ExchangeDirection direction) {
    const std::vector<ExchangeStep> steps = {
        TextStep(MainIds::Directory, fields.directory),
        TextStep(MainIds::Pattern, fields.pattern),
        CheckStep(MainIds::KeepStructure, fields.keepStructureCheck),
        CheckStep(MainIds::SpareHidden, fields.spareHiddenCheck),
        CheckStep(MainIds::SpareReadonly, fields.spareReadonlyCheck),
        CheckStep(MainIds::Subdirectories, fields.subdirCheck),
        CheckStep(MainIds::SpareSystem, fields.spareSystemCheck),
        IntegerStep(MainIds::Days, fields.days),
        CheckStep(MainIds::Regex, fields.regexCheck),
        RadioStep(MainIds::SpeedLow, MainIds::SpeedCount, fields.speed),
    };
    return RunExchange(steps, direction, view);
}

// A failed transfer has already told the user; the rules then work on what
// the fields held before, as a save after a mistyped days box should.
bool MainDialogCore::GatherSettings() {
    Exchange(ExchangeDirection::ToFields);
    lastError = ApplyGatherRules(fields, settings);
    if (!lastError.empty()) return false;
    if (settings.Save(settingsPath)) return true;
    lastError = SaveFailedText;
    return false;
}

void MainDialogCore::Tick() {
    const StatusUpdate update = NextStatusUpdate(channel);
    if (update.colour) view.SetStatusColour(*update.colour);
    if (update.text) view.SetStatusText(*update.text);
}

void MainDialogCore::Command(int id) {
    using Handler = void (MainDialogCore::*)();
    static const std::map<int, Handler> handlers = {
        {MainIds::Save, &MainDialogCore::Save},
        {MainIds::SaveMenu, &MainDialogCore::Save},
        {MainIds::Start, &MainDialogCore::Start},
        {MainIds::Pause, &MainDialogCore::Pause},
        {MainIds::Stop, &MainDialogCore::Stop},
        {MainIds::Exit, &MainDialogCore::Exit},
        {MainIds::ChooseDirectory, &MainDialogCore::ChooseDirectory},
        {MainIds::About, &MainDialogCore::ShowAbout},
        {MainIds::Website, &MainDialogCore::OpenWebsite},
    };
    if (const auto found = handlers.find(id); found != handlers.end()) {
        (this->*found->second)();
    } else if (const std::optional<std::string> address = LinkCommandAddress(id)) {
        view.OpenAddress(*address);
    }
}

bool MainDialogCore::SystemCommand(int id) {
    if ((id & 0xFFF0) != AboutSystemCommand) return false;
    view.ShowAbout();
    return true;
}

bool MainDialogCore::MayClose() { return !run.SweepUnfinished() || view.Confirm(ExitQuestion); }

void MainDialogCore::Save() { view.Inform(GatherSettings() ? std::string(SavedText) : lastError); }

// Every Start saves first; refused settings leave a paused sweep paused.
void MainDialogCore::Start() {
    if (!GatherSettings()) return view.Inform(lastError);
    run.StartOrResume();
}

void MainDialogCore::Pause() { run.Pause(); }

void MainDialogCore::Stop() {
    if (run.SweepUnfinished() && !view.Confirm(StopQuestion)) return;
    run.Stop();
}

// Leaving reads the controls once more, as closing with OK always does; a
// days box that cannot be read keeps the window open.
void MainDialogCore::Exit() {
    if (!MayClose()) return;
    if (Exchange(ExchangeDirection::ToFields)) view.Accept();
}

// The chosen folder shows in the box only; Save or Start takes it in.
void MainDialogCore::ChooseDirectory() {
    if (const std::optional<std::string> folder = view.ChooseFolder(ChooseDirectoryTitle))
        view.SetControlText(MainIds::Directory, *folder);
}

void MainDialogCore::ShowAbout() { view.ShowAbout(); }

void MainDialogCore::OpenWebsite() { view.OpenAddress(HomePageAddress()); }
