#include "browse/details.h"
#include "platform/dirsearch.h"
#include "support/sandbox.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace browse;

TEST(Details, ClustersOfAFile) {
    EXPECT_EQ(clustersUsed(65536, 32768), 2);
    EXPECT_EQ(clustersUsed(65537, 32768), 3);
    EXPECT_EQ(clustersUsed(0, 32768), 0);
    EXPECT_EQ(clustersUsed(1, 32768), 1);
    EXPECT_EQ(clusterLine(70000, 32768), "Cluster size: 32,768  Clusters used : 3");
    EXPECT_EQ(clusterLine(65536, 32768), "Cluster size: 32,768  Clusters used : 2");
    EXPECT_EQ(clusterLine(65536, 0), "");
}

TEST(Details, AttributesInTheirOrder) {
    EXPECT_EQ(attributeText(platform::faArchive | platform::faHidden), " Hidden Archive");
    EXPECT_EQ(attributeText(platform::faAnyFile),
              " ReadOnly Hidden System VolumeID Directory Archive");
    EXPECT_EQ(attributeText(0), "");
}

TEST(Details, AFileOfTheWorld) {
    SandboxWorld world;
    world.setDrives({"C"});
    const QString path = world.makeFile("c/.notes.txt", QByteArray(65537, 'n'));
    const QDateTime now = QDateTime::currentDateTime();
    const FileDetails d = readFileDetails(path, now);
    ASSERT_TRUE(d.found);
    EXPECT_EQ(d.fileName, path);
    EXPECT_EQ(d.sizeBytes, "65,537 bytes");
    EXPECT_EQ(d.attributes, " Hidden Archive");
    EXPECT_TRUE(d.versionLines.isEmpty());
    const quint64 cluster = clusterSizeOf(path);
    ASSERT_GT(cluster, 0u);
    EXPECT_EQ(d.sizeK, clusterLine(65537, cluster));
    EXPECT_TRUE(d.modify.endsWith("  Today")) << qPrintable(d.modify);
    EXPECT_EQ(fileDateText(0, now), "???");

    const QStringList lines = detailsPrintLines(d);
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], "Name of file : \t" + path);
    EXPECT_EQ(lines[4], QString(15, ' ') + "\t" + d.sizeK);
    EXPECT_EQ(lines[6], "Creation date     : \t" + d.create);
    EXPECT_EQ(lines[7], "Modification date : \t" + d.modify);
    EXPECT_EQ(lines[8], "Access date       : \t" + d.access);
    EXPECT_EQ(lines[10], "Attributes : \t Hidden Archive");
    EXPECT_EQ(detailsPrintTitle(path), "File details of " + path);

    EXPECT_FALSE(readFileDetails(world.path("c/missing"), now).found);
}
