// The face grid: every face of every mesh is filed, by the centroid of its corners on the x-z
// plane, into one square cell of 200 units, so that the model renderer draws only the cells near
// the camera. Built once after loading by loadWithGrid.
#include <cmath>
#include <cstdio>
#include <new>
#include <vector>

#include "model/model.h"

namespace {

// Above this many grid entries (cells x objects) a model spreads too far for a grid; it is left
// without one rather than exhausting memory.
constexpr double maxGridEntries = 4.0 * 1024.0 * 1024.0;

void widen(float value, float& lo, float& hi)
{
    if (!std::isfinite(value))
        return;
    if (value < lo)
        lo = value;
    if (value > hi)
        hi = value;
}

// The cell index i along one axis with lo + size * i < value <= lo + size * (i + 1), or -1 when
// value is in no cell below count. The bounds are compared exactly as written, so a value on a
// boundary belongs to the lower cell.
int cellAlong(double value, float lo, double size, int count)
{
    if (!std::isfinite(value))
        return -1;
    double estimate = std::ceil((value - lo) / size) - 1.0;
    if (estimate < -1.0 || estimate > count)
        return -1;
    int base = static_cast<int>(estimate);
    for (int i = base - 1; i <= base + 1; ++i) {
        if (i < 0 || i >= count)
            continue;
        if (lo + size * i < value && value <= lo + size * (i + 1))
            return i;
    }
    return -1;
}

}  // namespace

void Model::buildGrid()
{
    releaseGrid();
    gridMinX = gridMaxX = gridMinZ = gridMaxZ = 0.0f;
    cellWidth = cellDepth = gridCellSize;

    std::vector<SceneObject*> objects;
    rewind();
    for (int i = 0; i < objectCount; ++i) {
        SceneObject* object = cursor;
        objects.push_back(object);
        if (object->kind == ObjectKind::Mesh) {
            for (int f = 0; f < object->faceCount; ++f) {
                const Face& face = object->faces[f];
                for (uint16_t corner : {face.a, face.b, face.c}) {
                    const Vec3d& v = object->vertices[corner];
                    widen(static_cast<float>(v.x), gridMinX, gridMaxX);
                    widen(static_cast<float>(v.z), gridMinZ, gridMaxZ);
                }
            }
        }
        advance();
    }
    rewind();

    float spanColumns = std::trunc((gridMaxX - gridMinX) / gridCellSize);
    float spanRows = std::trunc((gridMaxZ - gridMinZ) / gridCellSize);
    double cellCount = (static_cast<double>(spanColumns) + 1.0) * (static_cast<double>(spanRows) + 1.0);
    if (!(cellCount * (objectCount > 0 ? objectCount : 1) <= maxGridEntries)) {
        std::fprintf(stderr, "%s: spreads over %.0f x %.0f grid cells, too many; no grid built\n", sourceName.c_str(),
                     spanColumns + 1.0f, spanRows + 1.0f);
        return;
    }
    int32_t newColumns = static_cast<int32_t>(spanColumns) + 1;
    int32_t newRows = static_cast<int32_t>(spanRows) + 1;
    int32_t cells = newColumns * newRows;

    GridCell* newGrid = new (std::nothrow) GridCell[cells];
    if (newGrid == nullptr) {
        std::fprintf(stderr, "%s: out of memory for the grid; no grid built\n", sourceName.c_str());
        return;
    }
    grid = newGrid;
    columns = newColumns;
    rows = newRows;
    for (int32_t cell = 0; cell < cells; ++cell) {
        grid[cell].entryCount = objectCount;
        if (objectCount == 0)
            continue;
        grid[cell].entries = new (std::nothrow) GridEntry[objectCount];
        if (grid[cell].entries == nullptr) {
            std::fprintf(stderr, "%s: out of memory for the grid; no grid built\n", sourceName.c_str());
            grid[cell].entryCount = 0;
            releaseGrid();
            return;
        }
        for (int i = 0; i < objectCount; ++i)
            grid[cell].entries[i].object = i;
    }

    // The cell of every face, computed once; -1 for a face in no cell (a centroid on or below the
    // grid's lower edges).
    std::vector<std::vector<int32_t>> faceCells(objects.size());
    for (size_t i = 0; i < objects.size(); ++i) {
        const SceneObject* object = objects[i];
        if (object->kind != ObjectKind::Mesh)
            continue;
        faceCells[i].resize(object->faceCount, -1);
        for (int f = 0; f < object->faceCount; ++f) {
            const Face& face = object->faces[f];
            const Vec3d& a = object->vertices[face.a];
            const Vec3d& b = object->vertices[face.b];
            const Vec3d& c = object->vertices[face.c];
            double cx = (a.x + b.x + c.x) / 3.0;
            double cz = (a.z + b.z + c.z) / 3.0;
            int column = cellAlong(cx, gridMinX, gridCellSize, columns);
            int row = cellAlong(cz, gridMinZ, gridCellSize, rows);
            if (column >= 0 && row >= 0)
                faceCells[i][f] = column + row * columns;
        }
    }

    // Count, allocate, then fill in ascending face order.
    for (size_t i = 0; i < objects.size(); ++i)
        for (int32_t cell : faceCells[i])
            if (cell >= 0)
                grid[cell].entries[i].faceCount++;
    for (int32_t cell = 0; cell < cells; ++cell) {
        for (int32_t e = 0; e < grid[cell].entryCount; ++e) {
            GridEntry& entry = grid[cell].entries[e];
            if (entry.faceCount > 0) {
                entry.faceIndices = new (std::nothrow) int32_t[entry.faceCount];
                if (entry.faceIndices == nullptr) {
                    std::fprintf(stderr, "%s: out of memory for the grid; no grid built\n", sourceName.c_str());
                    releaseGrid();
                    return;
                }
            }
            entry.faceCount = 0;
        }
    }
    for (size_t i = 0; i < objects.size(); ++i) {
        for (size_t f = 0; f < faceCells[i].size(); ++f) {
            int32_t cell = faceCells[i][f];
            if (cell >= 0) {
                GridEntry& entry = grid[cell].entries[i];
                entry.faceIndices[entry.faceCount++] = static_cast<int32_t>(f);
            }
        }
    }
}
