#pragma once
// Turns one row of a layout table into its widget, placed in pixels for the
// dialog font's units.

class DialogUnits;
class QWidget;
struct TemplateControl;

// The widget is a child of `parent`, named after its id when it has one.
// Group boxes go beneath their siblings so that they never catch the clicks
// meant for the controls they frame.
QWidget* CreateTemplateControl(const TemplateControl& control, QWidget* parent, const DialogUnits& units);
