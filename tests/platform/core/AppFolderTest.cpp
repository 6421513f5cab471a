#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/core/AppFolder.h"

using namespace orlo;

TEST(AppFolder, MapsSystemNamesIntoTheFolder) {
    const AppFolder f(QStringLiteral("/opt/orlo/"));
    EXPECT_EQ(f.path(QStringLiteral("\\META\\UNLOADP.log")),
              QStringLiteral("/opt/orlo/META/UNLOADP.log"));
    EXPECT_EQ(f.path(QStringLiteral("PST/12-27Orlonetv1.pst")),
              QStringLiteral("/opt/orlo/PST/12-27Orlonetv1.pst"));
}
