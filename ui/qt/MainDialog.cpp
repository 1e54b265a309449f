#include "ui/qt/MainDialog.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QVBoxLayout>

#include "ui/core/ButtonStyle.h"
#include "ui/core/MainTemplate.h"
#include "ui/core/StatusDisplay.h"
#include "ui/qt/AboutDialog.h"
#include "ui/qt/DialogUnits.h"
#include "ui/qt/FolderChooser.h"
#include "ui/qt/ImageButton.h"
#include "ui/qt/LabelCtrl.h"
#include "ui/qt/Prompt.h"
#include "ui/qt/Resources.h"
#include "ui/qt/TemplateWidgets.h"
#include "ui/qt/UrlOpener.h"

namespace {

constexpr Qt::WindowFlags MainWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                            Qt::WindowCloseButtonHint;

QString FromLocal(const std::string& text) { return QString::fromLocal8Bit(text.c_str()); }

bool IsEnterOrEscape(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

MainDialog::MainDialog(SweepSettings& settings, WorkerThread& worker, StatusChannel& channel, std::string settingsPath,
                       QWidget* parent)
    : QDialog(parent, MainWindowFlags), core(*this, settings, worker, channel, std::move(settingsPath)) {
    setWindowTitle(FromLocal(MainTitle));
    setWindowIcon(LoadResourceIcon(AppIconId));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setMenuBar(BuildMenuBar());
    layout->addWidget(BuildBody());

    core.Initialise();
    statusLine = static_cast<LabelCtrl*>(Control(MainIds::StatusLine));
    statusLine->SetBackgroundMode(LabelCtrl::Transparent);
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
            connect(action, &QAction::triggered, this, [this, id = item.command] { core.Command(id); });
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

void MainDialog::SetUpButtons() {
    for (const ToolButton& setup : ToolButtons) {
        auto* button = static_cast<ImageButton*>(Control(setup.id));
        button->SetFrameStyle(ToolButtonFrame);
        button->SetImage(ImageButton::ImageNormal, setup.bitmap, ToolButtonKey);
        button->SetTooltipText(FindMainControl(setup.id)->caption, true);
        button->SetLayout(ToolButtonLayout);
        connect(button, &QAbstractButton::clicked, this, [this, id = setup.id] { core.Command(id); });
    }
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
    if (!core.MayClose()) return event->ignore();
    QDialog::closeEvent(event);
}

namespace {

QLineEdit& Edit(QWidget* control) { return *static_cast<QLineEdit*>(control); }
QAbstractButton& Box(QWidget* control) { return *static_cast<QAbstractButton*>(control); }

}  // namespace

std::string MainDialog::ControlText(int id) const { return Edit(Control(id)).text().toLocal8Bit().toStdString(); }

void MainDialog::SetControlText(int id, const std::string& text) { Edit(Control(id)).setText(FromLocal(text)); }

bool MainDialog::IsChecked(int id) const { return Box(Control(id)).isChecked(); }

// An auto-exclusive radio refuses to uncheck itself, so it leaves its group
// for a moment.
void MainDialog::SetChecked(int id, bool checked) {
    QAbstractButton& box = Box(Control(id));
    const bool exclusive = box.autoExclusive();
    if (!checked) box.setAutoExclusive(false);
    box.setChecked(checked);
    box.setAutoExclusive(exclusive);
}

void MainDialog::FocusAndSelect(int id) {
    QWidget* control = Control(id);
    control->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
}

void MainDialog::SetStatusColour(std::uint32_t rgb) { statusLine->SetTextColor(QColor::fromRgb(rgb), true); }

void MainDialog::SetStatusText(const std::string& text) { statusLine->SetText(text); }

void MainDialog::Inform(const std::string& text) { Prompt::Inform(this, text); }

bool MainDialog::Confirm(const std::string& text) { return Prompt::Confirm(this, text); }

std::optional<std::string> MainDialog::ChooseFolder(const std::string& title) {
    return FolderChooser::Choose(this, title);
}

void MainDialog::ShowAbout() { AboutDialog::Show(this); }

void MainDialog::OpenAddress(const std::string& address) { UrlOpener::Open(address); }

void MainDialog::Accept() { accept(); }
