// The view window of the model renderer: which grid cells are visited for a camera looking toward
// -x, +z, from a corner of the grid, and how far it reaches for each viewRange.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/switches.h"
#include "fixtures.h"
#include "render/renderer.h"

namespace {

// A 10 x 10 grid of 200-unit cells from (0, 0) and one camera.
class Window : public ::testing::Test {
protected:
    void SetUp() override
    {
        viewRange = 1;
        camera = rfix::appendCamera(model, "cam", Vec3d{}, Vec3d{});
        rfix::buildTestGrid(model, 10, 10, 0.0f, 0.0f, 200.0f);
    }
    void TearDown() override { viewRange = 2; }

    void look(Vec3d eye, Vec3d target)
    {
        camera->cameraPosition = eye;
        camera->cameraTarget = target;
    }

    // Window positions in the order drawMeshes visits them: columns outer, rows inner.
    std::vector<int32_t> visitedCells()
    {
        const ViewWindow w = computeViewWindow(model);
        std::vector<int32_t> cells;
        for (int32_t c = w.firstColumn; c <= w.lastColumn; ++c)
            for (int32_t r = w.firstRow; r <= w.lastRow; ++r)
                cells.push_back(windowCell(model, c, r));
        return cells;
    }

    Model model;
    SceneObject* camera = nullptr;
};

TEST_F(Window, LookingTowardMinusXReachesFiveColumnsBackAlongX)
{
    look(Vec3d{1050, 50, 1050}, Vec3d{0, 50, 1050});
    const ViewWindow w = computeViewWindow(model);
    EXPECT_EQ(w.firstColumn, 0);
    EXPECT_EQ(w.lastColumn, 7);
    // eye.z equals target.z: counted as looking toward +z.
    EXPECT_EQ(w.firstRow, 3);
    EXPECT_EQ(w.lastRow, 10);
}

TEST_F(Window, LookingTowardPlusZReachesAheadAlongZ)
{
    look(Vec3d{1050, 50, 1050}, Vec3d{1100, 50, 3000});
    const ViewWindow w = computeViewWindow(model);
    EXPECT_EQ(w.firstColumn, 3);
    EXPECT_EQ(w.lastColumn, 10);
    EXPECT_EQ(w.firstRow, 3);
    EXPECT_EQ(w.lastRow, 10);
    // Row 10 is past the grid's last row: those positions stand for cell 0.
    const std::vector<int32_t> cells = visitedCells();
    ASSERT_EQ(cells.size(), 64u);
    EXPECT_EQ(cells[0], 3 * 10 + 3);
    EXPECT_EQ(cells[1], 4 * 10 + 3);
    EXPECT_EQ(cells[7], 0);
    EXPECT_EQ(cells[8], 3 * 10 + 4);
}

TEST_F(Window, ViewRangeTwoGivesSixAheadAndTwoBehind)
{
    viewRange = 2;
    look(Vec3d{1050, 50, 1050}, Vec3d{0, 50, 0});
    const ViewWindow w = computeViewWindow(model);
    EXPECT_EQ(w.firstColumn, 5 - 6);
    EXPECT_EQ(w.lastColumn, 5 + 2);
    EXPECT_EQ(w.firstRow, 5 - 6);
    EXPECT_EQ(w.lastRow, 5 + 2);
    EXPECT_EQ(visitedCells().size(), 81u);

    viewRange = 0;
    EXPECT_EQ(visitedCells().size(), 49u);
}

TEST_F(Window, CornerCameraLookingOutwardVisitsCellZeroForEveryPositionOffTheGrid)
{
    look(Vec3d{10, 50, 10}, Vec3d{-100, 50, -100});
    const std::vector<int32_t> cells = visitedCells();
    ASSERT_EQ(cells.size(), 64u);
    int zeros = 0;
    for (int32_t cell : cells)
        zeros += cell == 0;
    // Of the 8 x 8 positions only columns 0..2 x rows 0..2 lie on the grid, one of them cell 0 itself.
    EXPECT_EQ(zeros, 64 - 8);
}

TEST_F(Window, CellIsTruncatedTowardZero)
{
    // Just left of the grid: -0.5 cells truncates to column 0, not -1.
    look(Vec3d{-100, 0, 450}, Vec3d{0, 0, 450});
    const ViewWindow w = computeViewWindow(model);
    EXPECT_EQ(w.firstColumn, -2);
    EXPECT_EQ(w.firstRow, 0);
}

TEST_F(Window, ACameraFarOutsideOrUndefinedDrawsCellZeroOnly)
{
    look(Vec3d{1e300, 0, -1e300}, Vec3d{0, 0, 0});
    for (int32_t cell : visitedCells())
        EXPECT_EQ(cell, 0);
    look(Vec3d{NAN, 0, NAN}, Vec3d{0, 0, 0});
    EXPECT_EQ(visitedCells().size(), 64u);
}

TEST(WindowWithoutCamera, UsesTheOriginAndLooksTowardPlusXAndZ)
{
    Model model;
    rfix::appendObject(model, "mesh", ObjectKind::Mesh);
    rfix::buildTestGrid(model, 4, 4, -400.0f, -400.0f, 200.0f);
    EXPECT_EQ(viewCamera(model), nullptr);
    const ViewWindow w = computeViewWindow(model);
    EXPECT_EQ(w.firstColumn, 0);
    EXPECT_EQ(w.lastColumn, 2 + viewRange + 4);
}

TEST(ViewCamera, AnIndexOutsideTheTableReadsTheNearestCamera)
{
    Model model;
    SceneObject* first = rfix::appendCamera(model, "a", Vec3d{}, Vec3d{});
    SceneObject* second = rfix::appendCamera(model, "b", Vec3d{}, Vec3d{});
    model.currentCamera = 7;
    EXPECT_EQ(viewCamera(model), second);
    model.currentCamera = -1;
    EXPECT_EQ(viewCamera(model), first);
}

}  // namespace
