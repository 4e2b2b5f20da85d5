// The view refresh on the software display: a frame each time, "Land" built
// anew only after the earth colour changed.
#include "navigation/DisplayRefresh.h"
#include "render/MapLoad.h"
#include "render/SceneBuilders.h"
#include "render/StartView.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <QImage>

namespace tolva::testing {
namespace {

TEST(DisplayRefresh, DrawsAFrameAndRebuildsLandOnlyAfterAColourChange)
{
    RecordingMessages messages;
    DisplayChain chain(&messages);
    Scene scene;
    ASSERT_TRUE(chain.Loading(scene));
    ViewState view;
    QImage picture(180, 90, QImage::Format_RGB32);
    picture.fill(qRgb(128, 128, 128));
    ASSERT_TRUE(LoadMap(scene, view, picture).ok());
    SetFrame(scene, 1, StartCameraFrame(view));
    LatestFrame sink;
    DisplayRefresh refresh(chain, scene, view, sink);

    refresh.ViewRefresh(); // white earth differs from the black remembered at first
    const auto firstRevision = scene.revision();
    ASSERT_FALSE(sink.picture.isNull());
    refresh.ViewRefresh();
    EXPECT_EQ(scene.revision(), firstRevision) << "same colour: nothing to prepare again";

    view.EarthColor = 0x0000FFu;
    sink.picture = QImage();
    refresh.ViewRefresh();
    EXPECT_NE(scene.revision(), firstRevision);
    ASSERT_EQ(scene.MaterialList().size(), 2u);
    EXPECT_EQ(scene.MaterialList()[1].material.diffuse, (Color{1, 0, 0, 1}));
    EXPECT_FALSE(sink.picture.isNull());
    EXPECT_TRUE(messages.reports.isEmpty());
}

} // namespace
} // namespace tolva::testing
