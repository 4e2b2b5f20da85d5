// The map load: a file to a finished scene, and what each failure leaves.
#include "render/MapLoad.h"
#include "render/SceneBuilders.h"
#include "terrain/MapPicture.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <limits>
#include <vector>

using namespace tolva;

namespace {

// A 360 x 180 map, dark on the left, bright on the right.
QImage TwoTones()
{
    QImage picture(360, 180, QImage::Format_RGB32);
    picture.fill(qRgb(30, 30, 30));
    for (int y = 0; y < 180; ++y)
        for (int x = 180; x < 360; ++x)
            picture.setPixel(x, y, qRgb(200, 200, 200));
    return picture;
}

TEST(LoadMapTest, AFileBecomesTheTerrainWithLandSunAndMain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Two.ebm"));
    ASSERT_TRUE(TwoTones().save(path, "BMP"));
    Scene scene;
    AddMaterial(scene, Material{}, QStringLiteral("left over"));
    ViewState view;
    view.GridSize = 7.0f; // fixed by the load
    view.MeshHeight = 20.0f;
    view.LightLevel = 0.25f;

    const MapLoadResult result = LoadMap(scene, view, path);
    ASSERT_TRUE(result.ok()) << result.error->description.toStdString();
    EXPECT_EQ(result.picture.size(), QSize(360, 180));
    EXPECT_EQ(result.grid.pixels(), MakeTerrainGrid(TwoTones()).pixels());
    EXPECT_EQ(view.GridSize, 180.0f);
    EXPECT_FLOAT_EQ(view.LightAttenuation, 0.75f);

    ASSERT_EQ(scene.PolygonList().size(), 32401u);
    EXPECT_TRUE(scene.PolygonList()[1].Material == kLandMaterial && scene.PolygonList()[1].Texture == kNoTexture);
    // Cell (1, 1) lies under the picture's right (bright) edge, mirrored.
    EXPECT_NEAR(scene.PolygonList()[1].Vertices[2].y, 20.0f * 600 / 765, 0.1f);
    ASSERT_EQ(scene.MaterialList().size(), 2u);
    EXPECT_EQ(scene.MaterialList()[kLandMaterial].Name, QStringLiteral("Land"));
    ASSERT_EQ(scene.LightList().size(), 2u);
    EXPECT_EQ(scene.LightList()[1].Name, QStringLiteral("Sun"));
    EXPECT_FLOAT_EQ(scene.LightList()[1].light.attenuation1, 0.75f);
    ASSERT_EQ(scene.FrameList().size(), 2u);
    EXPECT_EQ(scene.FrameList()[1].Name, QStringLiteral("Main"));
    EXPECT_EQ(scene.FrameList()[1].Position, (Vector3{90, 23, 90}));
}

// A picture that cannot be read (no file) fails with the reader's own words
// and leaves the scene as it was; one whose landscape cannot be built (a
// height of no number) fails so and leaves the lists emptied.
TEST(LoadMapTest, AFailureGivesItsReasonAndKeepsOrEmptiesTheScene)
{
    for (const bool readable : {false, true}) {
        SCOPED_TRACE(readable ? "a height of no number" : "no file");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Map.ebm"));
        ASSERT_TRUE(!readable || TwoTones().save(path, "BMP"));
        Scene scene;
        ViewState first, view;
        ASSERT_TRUE(LoadMap(scene, first, TwoTones()).ok());
        const std::uint64_t revision = scene.revision();
        view.MeshHeight = readable ? std::numeric_limits<float>::quiet_NaN() : 10.0f;

        const MapLoadResult result = LoadMap(scene, view, path);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error->failure, readable ? MapLoadFailure::Landscape : MapLoadFailure::Picture);
        EXPECT_EQ(result.error->description,
                  readable ? QStringLiteral("Could not load landscape!") : LoadMapPicture(path).error);
        EXPECT_EQ(scene.revision() == revision, !readable);
        const std::vector<std::size_t> sizes{scene.PolygonList().size(), scene.MaterialList().size(),
                                             scene.LightList().size(), scene.FrameList().size()};
        EXPECT_EQ(sizes, (readable ? std::vector<std::size_t>{1, 1, 1, 1} : std::vector<std::size_t>{32401, 2, 2, 2}));
    }
}

TEST(LoadMapTest, APictureThatIsNullIsRefusedAndLeavesTheSceneAlone)
{
    Scene scene;
    ViewState view;
    const std::uint64_t revision = scene.revision();
    const MapLoadResult result = LoadMap(scene, view, QImage());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->failure, MapLoadFailure::Picture);
    EXPECT_EQ(result.error->description, QStringLiteral("The picture is empty."));
    EXPECT_EQ(scene.revision(), revision);
}

} // namespace
