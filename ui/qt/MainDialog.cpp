#include "ui/qt/MainDialog.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QVBoxLayout>

#include "config/SweepSettings.h"
#include "ui/qt/AboutDialog.h"
#include "ui/qt/DialogUnits.h"
#include "ui/qt/FolderChooser.h"
#include "ui/qt/ImageButton.h"
#include "ui/qt/LabelCtrl.h"
#include "ui/core/LinkCommands.h"
#include "ui/core/MainTemplate.h"
#include "ui/qt/Prompt.h"
#include "ui/qt/Resources.h"
#include "ui/core/StatusDisplay.h"
#include "ui/qt/TemplateWidgets.h"
#include "ui/qt/UrlOpener.h"

namespace {

constexpr Qt::WindowFlags MainWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                            Qt::WindowCloseButtonHint;

// The tool-bar buttons and the directory chooser, in the order they are set
// up, with their pictures; each keys out pure blue.
struct ButtonImage {
    int id;
    int bitmap;
};
constexpr ButtonImage ButtonImages[] = {
    {MainIds::Start, StartBitmapId}, {MainIds::Pause, PauseBitmapId},     {MainIds::Stop, StopBitmapId},
    {MainIds::Exit, ExitBitmapId},   {MainIds::Save, SaveBitmapId},       {MainIds::Website, WebsiteBitmapId},
    {MainIds::ChooseDirectory, ChooseDirBitmapId},
};
constexpr int ButtonKey = ImageButton::KeyFromRgb(0, 0, 255);

QString FromLocal(const std::string& text) { return QString::fromLocal8Bit(text.c_str()); }

bool IsEnterOrEscape(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

MainDialog::MainDialog(SweepSettings& settings, WorkerThread& worker, StatusChannel& channel, std::string programDir,
                       QWidget* parent)
    : QDialog(parent, MainWindowFlags),
      settings(settings),
      channel(channel),
      programDir(std::move(programDir)),
      run(worker) {
    setWindowTitle(FromLocal(MainTitle));
    setWindowIcon(LoadResourceIcon(AppIconId));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setMenuBar(BuildMenuBar());
    layout->addWidget(BuildBody());

    fields = FieldsFromSettings(settings);
    Exchange(ExchangeDirection::ToControls);
    SetUpStatusLine();
    SetUpButtons();
    connect(&progressTimer, &QTimer::timeout, this, &MainDialog::Tick);
    progressTimer.start(ProgressTickMillis);
    Control(MainIds::Directory)->setFocus();
}

QMenuBar* MainDialog::BuildMenuBar() {
    auto* bar = new QMenuBar(this);
    for (const MenuPopup& popup : MainMenu()) {
        QMenu* menu = bar->addMenu(FromLocal(popup.caption));
        for (const MenuItem& item : popup.items) {
            if (item.command == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(FromLocal(item.caption));
            actions[item.command] = action;
            connect(action, &QAction::triggered, this, [this, id = item.command] { Command(id); });
        }
    }
    return bar;
}

// The key filter covers the window and its controls but not the menus,
// which keep Escape for closing themselves.
QWidget* MainDialog::BuildBody() {
    auto* body = new QWidget(this);
    body->setFont(DialogFont());
    const DialogUnits units(body->font());
    body->setFixedSize(units.X(MainWidthUnits), units.Y(MainHeightUnits));
    for (const TemplateControl& control : MainControls()) {
        QWidget* widget = CreateTemplateControl(control, body, units);
        if (control.id != 0) controls[control.id] = widget;
        widget->installEventFilter(this);
    }
    body->installEventFilter(this);
    installEventFilter(this);
    return body;
}

void MainDialog::SetUpStatusLine() {
    statusLine = static_cast<LabelCtrl*>(Control(MainIds::StatusLine));
    statusLine->SetBackgroundMode(LabelCtrl::Transparent);
}

void MainDialog::SetUpButtons() {
    for (const ButtonImage& setup : ButtonImages) {
        auto* button = static_cast<ImageButton*>(Control(setup.id));
        button->SetFrameStyle(ImageButton::FrameOnHover);
        button->SetImage(ImageButton::ImageNormal, setup.bitmap, ButtonKey);
        button->SetTooltipText(FindMainControl(setup.id)->caption, true);
        button->SetLayout(ImageLeftOfCaption);
        connect(button, &QAbstractButton::clicked, this, [this, id = setup.id] { Command(id); });
    }
}

std::vector<ExchangeStep> MainDialog::ExchangeSteps() {
    auto edit = [this](int id) -> QLineEdit& { return *static_cast<QLineEdit*>(Control(id)); };
    auto box = [this](int id) -> QAbstractButton& { return *static_cast<QAbstractButton*>(Control(id)); };
    std::vector<QAbstractButton*> speeds;
    for (int i = 0; i < MainIds::SpeedCount; ++i) speeds.push_back(&box(MainIds::SpeedLow + i));
    return {
        TextStep(edit(MainIds::Directory), fields.directory),
        TextStep(edit(MainIds::Pattern), fields.pattern),
        CheckStep(box(MainIds::KeepStructure), fields.keepStructureCheck),
        CheckStep(box(MainIds::SpareHidden), fields.spareHiddenCheck),
        CheckStep(box(MainIds::SpareReadonly), fields.spareReadonlyCheck),
        CheckStep(box(MainIds::Subdirectories), fields.subdirCheck),
        CheckStep(box(MainIds::SpareSystem), fields.spareSystemCheck),
        IntegerStep(edit(MainIds::Days), fields.days),
        CheckStep(box(MainIds::Regex), fields.regexCheck),
        RadioStep(speeds, fields.speed),
    };
}

bool MainDialog::Exchange(ExchangeDirection direction) { return RunExchange(ExchangeSteps(), direction, this); }

// A failed transfer has already told the user; the rules then work on what
// the fields held before, as a save after a mistyped days box should.
bool MainDialog::GatherSettings() {
    Exchange(ExchangeDirection::ToFields);
    lastError = ApplyGatherRules(fields, settings);
    if (!lastError.empty()) return false;
    if (settings.Save(programDir)) return true;
    lastError = SaveFailedText;
    return false;
}

void MainDialog::Tick() {
    const StatusUpdate update = NextStatusUpdate(channel);
    if (update.colour) statusLine->SetTextColor(QColor::fromRgb(*update.colour), true);
    if (update.text) statusLine->SetText(*update.text);
}

QWidget* MainDialog::Control(int id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second;
}

QAction* MainDialog::MenuAction(int command) const {
    const auto found = actions.find(command);
    return found == actions.end() ? nullptr : found->second;
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
    if (IsEnterOrEscape(event)) return true;
    return QDialog::eventFilter(watched, event);
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    if (IsEnterOrEscape(event)) return event->accept();
    QDialog::keyPressEvent(event);
}

void MainDialog::closeEvent(QCloseEvent* event) {
    if (run.SweepUnfinished() && !Prompt::Confirm(this, ExitQuestion)) return event->ignore();
    QDialog::closeEvent(event);
}

void MainDialog::Command(int id) {
    using Handler = void (MainDialog::*)();
    static const std::map<int, Handler> handlers = {
        {MainIds::Save, &MainDialog::Save},
        {MainIds::SaveMenu, &MainDialog::Save},
        {MainIds::Start, &MainDialog::Start},
        {MainIds::Pause, &MainDialog::Pause},
        {MainIds::Stop, &MainDialog::Stop},
        {MainIds::Exit, &MainDialog::Exit},
        {MainIds::ChooseDirectory, &MainDialog::ChooseDirectory},
        {MainIds::About, &MainDialog::ShowAbout},
        {MainIds::Website, &MainDialog::OpenWebsite},
    };
    if (const auto found = handlers.find(id); found != handlers.end()) {
        (this->*found->second)();
    } else if (id >= FirstLinkCommand && id <= LastLinkCommand) {
        if (const std::optional<std::string> address = LinkCommandAddress(id)) UrlOpener::Open(*address);
    }
}

void MainDialog::Save() { Prompt::Inform(this, GatherSettings() ? std::string(SavedText) : lastError); }

// Every Start saves first; refused settings leave a paused sweep paused.
void MainDialog::Start() {
    if (!GatherSettings()) return Prompt::Inform(this, lastError);
    run.StartOrResume();
}

void MainDialog::Pause() { run.Pause(); }

void MainDialog::Stop() {
    if (run.SweepUnfinished() && !Prompt::Confirm(this, StopQuestion)) return;
    run.Stop();
}

// Leaving reads the controls once more, as closing with OK always does; a
// days box that cannot be read keeps the window open.
void MainDialog::Exit() {
    if (run.SweepUnfinished() && !Prompt::Confirm(this, ExitQuestion)) return;
    if (Exchange(ExchangeDirection::ToFields)) accept();
}

// The chosen folder shows in the box only; Save or Start takes it in.
void MainDialog::ChooseDirectory() {
    const std::optional<std::string> folder = FolderChooser::Choose(this, ChooseDirectoryTitle);
    if (folder) static_cast<QLineEdit*>(Control(MainIds::Directory))->setText(FromLocal(*folder));
}

void MainDialog::ShowAbout() { AboutDialog::Show(this); }

void MainDialog::OpenWebsite() { UrlOpener::Open(HomePageAddress()); }
