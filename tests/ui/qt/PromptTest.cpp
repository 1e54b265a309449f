#include "ui/qt/Prompt.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

#include <gtest/gtest.h>

namespace {

// Enter answers what the default button says, Escape and closing what the
// escape button says: Yes and No, as the platform's own Yes/No box has them.
TEST(Prompt, YesNoBoxDefaultsToYesAndEscapesToNo)
{
    const std::unique_ptr<QMessageBox> box = Prompt::BuildBox(nullptr, "问题", Prompt::Buttons::YesNo);
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(box->buttonRole(box->defaultButton()), QMessageBox::YesRole);
    EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("是(&Y)"));
    ASSERT_NE(box->escapeButton(), nullptr);
    EXPECT_EQ(box->buttonRole(box->escapeButton()), QMessageBox::NoRole);
    EXPECT_EQ(box->text(), QStringLiteral("问题"));
}

}  // namespace
