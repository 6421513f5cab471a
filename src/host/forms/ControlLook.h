#pragma once
// ControlLook: how a form control is presented to the user, apart from what
// it is bound to: the caption beside it, the section of the page it sits
// in, the kind of input it takes and whether the user may type into it. It
// never changes what the control writes: every input kind writes the text
// the user typed or picked, and an empty input writes an empty text.

#include <QString>
#include <QStringList>

namespace orlo::host {

enum class InputKind {
    Text,      // one line of free text
    Notes,     // running text over several lines
    Date,      // a date in the workstation's short date form, with a calendar
    DateTime,  // a date and time in the workstation's general date form, with a calendar
    Choice,    // a drop-down list of the usual values that also takes free typing
};

struct ControlLook {
    QString caption;  // empty: the control's name made readable
    QString section;  // empty: the page's general section
    InputKind input = InputKind::Text;
    QStringList choices;  // for Choice
    bool readOnly = false;
    // For a label: the control whose caption the label is (it then sits
    // beside that control instead of on a line of its own).
    QString captionOf;
};

}  // namespace orlo::host
