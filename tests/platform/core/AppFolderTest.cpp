#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/core/AppFolder.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;

TEST(AppFolder, MapsSystemNamesIntoTheFolder) {
    const AppFolder f(u"/opt/orlo/"_s);
    EXPECT_EQ(f.path(u"\\META\\UNLOADP.log"_s), u"/opt/orlo/META/UNLOADP.log"_s);
    EXPECT_EQ(f.path(u"PST/12-27Orlonetv1.pst"_s), u"/opt/orlo/PST/12-27Orlonetv1.pst"_s);
}
