#pragma once
// HelpService: the help a window's "&Help" button opens, by numeric
// context. Topic n is the page "<n>.html" in the Help folder of the
// application folder; a missing page is an error (53, file not found) that
// the calling window shows in its own error box, as it shows any other
// failure of its buttons.
//
// QtHelpViewer (HelpViewer.h) shows the pages in the desk; the settings
// dialog and every other window with a "&Help" button use the same service
// with their own context numbers.

#include <QString>

#include "platform/core/Result.h"

namespace orlo {

class HelpService {
public:
    virtual ~HelpService() = default;
    // Shows topic `context`; nothing is shown when it fails.
    virtual Status showTopic(int context) = 0;
};

// "<helpFolder>/<context>.html" when that page exists, else error 53.
Result<QString> helpTopicFile(const QString& helpFolder, int context);

}  // namespace orlo
