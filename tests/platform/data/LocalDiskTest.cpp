// Which database files may be read through a memory map: files on this
// machine's disks, not paths that cannot be asked.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "TestSupport.h"
#include "platform/data/LocalDisk.h"

using namespace Qt::Literals::StringLiterals;
using orlo::data::detail::isOnLocalDisk;

TEST(LocalDisk, TemporaryFilesAreLocalAndMissingPathsAreNot) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(u"Patients.mdb"_s);
    orlo::test::writeFile(file, QByteArray("x"));
    EXPECT_TRUE(isOnLocalDisk(file));
    EXPECT_FALSE(isOnLocalDisk(dir.filePath(u"no/such/dir/Patients.mdb"_s)));
}
