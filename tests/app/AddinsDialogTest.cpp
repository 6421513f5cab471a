// Tools > Add-ins...: the registered add-ins with their state, and Remove,
// which reaches the add-in host for the chosen ProgId only.

#include <QListWidget>

#include "TestSupport.h"
#include "app/AddinHost.h"
#include "app/AddinsDialog.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::desk;

namespace {

class ListedAddins final : public AddinHost {
public:
    std::vector<AddinEntry> addins() const override { return entries; }
    void startup() override {}
    void shutdown() override {}
    Status remove(const QString& progId) override {
        removed << progId;
        for (AddinEntry& e : entries) {
            if (e.progId == progId) {
                e.connected = false;
            }
        }
        return okStatus();
    }

    std::vector<AddinEntry> entries;
    QStringList removed;
};

}  // namespace

TEST(AddinsDialog, ListsTheAddinsAndRemovesTheChosenOne) {
    ListedAddins host;
    host.entries = {
        {u"Other.Connect"_s, QString(), u"/x/libother.so"_s, false,
         u"The library could not be loaded."_s},
        {u"OrlonetPROv1.Connect"_s, u"Orlo"_s, u"/srv/app/liborlo.so"_s, true, QString()},
    };
    AddinsDialog dialog(&host);
    QListWidget* list = dialog.list();
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(0)->text().contains(u"The library could not be loaded."_s));
    EXPECT_TRUE(list->item(1)->text().contains(u"loaded"_s));
    EXPECT_FALSE(list->item(1)->text().contains(u"not loaded"_s));

    // Nothing chosen: Remove does nothing.
    dialog.removeSelected();
    EXPECT_TRUE(host.removed.isEmpty());

    list->setCurrentRow(1);
    dialog.removeSelected();
    EXPECT_EQ(host.removed, QStringList{u"OrlonetPROv1.Connect"_s});
    // The list shows the new state at once.
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(1)->text().contains(u"not loaded"_s));

    // A desk without an add-in loader says so and offers nothing to remove.
    AddinsDialog none(nullptr);
    ASSERT_EQ(none.list()->count(), 1);
    EXPECT_EQ(none.list()->item(0)->text(), u"This desk has no add-in loader."_s);
    none.removeSelected();
}
