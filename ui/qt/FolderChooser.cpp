#include "ui/qt/FolderChooser.h"

#include "ui/core/Replaceable.h"

#include <QDir>
#include <QFileDialog>

namespace FolderChooser {
namespace {

std::optional<std::string> ShowDialog(QWidget* owner, const std::string& title) {
    const QString chosen = QFileDialog::getExistingDirectory(owner, QString::fromLocal8Bit(title.c_str()));
    if (chosen.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen).toLocal8Bit().toStdString();
}

Replaceable<Function>& Current() {
    static Replaceable<Function> chooser{ShowDialog};
    return chooser;
}

}  // namespace

std::optional<std::string> Choose(QWidget* owner, const std::string& title) { return Current()(owner, title); }

Function Replace(Function chooser) { return Current().Replace(std::move(chooser)); }

}  // namespace FolderChooser
