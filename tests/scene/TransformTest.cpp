#include "SceneTestFixture.h"

#include "scene/Transform.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace tarnwood {
namespace {

using test::Matrix;
using test::ModelView;
using test::SceneTest;

Vec3 Times(const Matrix& m, const Vec3& p)
{
    return Vec3{m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

// Rotates `p` by `degrees` about the axis whose coordinates are (a, b): the
// right-handed turn in the (a, b) plane.
void Turn(double& a, double& b, double degrees)
{
    const double r = degrees * std::numbers::pi / 180.0;
    const double na = a * std::cos(r) - b * std::sin(r);
    const double nb = a * std::sin(r) + b * std::cos(r);
    a = na;
    b = nb;
}

// Where the transform puts a vertex: about Z first, then Y, then X, then
// translated.
Vec3 Place(const Transform& t, Vec3 p)
{
    Turn(p.x, p.y, t.rotation.z);
    Turn(p.z, p.x, t.rotation.y);
    Turn(p.y, p.z, t.rotation.x);
    return Vec3{p.x + t.position.x, p.y + t.position.y, p.z + t.position.z};
}

using TransformTest = SceneTest;

TEST_F(TransformTest, ApplyTranslatesThenRotatesAboutXYZ)
{
    const Vec3 points[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {2, -3, 5}};
    struct Case {
        Vec3 position;
        Vec3 rotation;
    };
    for (const Case& c : {Case{{0, 0, 0}, {90, 0, 0}}, Case{{0, 0, 0}, {0, 90, 0}}, Case{{0, 0, 0}, {0, 0, 90}},
                          Case{{1, 2, 3}, {30, 45, 60}}, Case{{-4, 0, 0.5}, {-20, 0, 170}}}) {
        Transform t;
        t.SetPosition(c.position.x, c.position.y, c.position.z);
        t.SetRotation(c.rotation.x, c.rotation.y, c.rotation.z);
        glLoadIdentity();
        t.Apply();
        const Matrix m = ModelView();
        for (const Vec3& p : points) {
            const Vec3 got = Times(m, p);
            const Vec3 want = Place(t, p);
            EXPECT_NEAR(got.x, want.x, 1e-5);
            EXPECT_NEAR(got.y, want.y, 1e-5);
            EXPECT_NEAR(got.z, want.z, 1e-5);
        }
    }
}

TEST_F(TransformTest, ZeroPositionIssuesNoTranslation)
{
    // On a matrix with infinite diagonal any translation call, even by zero,
    // turns the translation column into NaN; no call keeps it at 0.
    const double inf = std::numeric_limits<double>::infinity();
    const double poisoned[16] = {inf, 0, 0, 0, 0, inf, 0, 0, 0, 0, inf, 0, 0, 0, 0, 1};
    struct Case {
        Vec3 position;
        bool translated;
    };
    for (const Case& c :
         {Case{{0, 0, 0}, false}, Case{{-0.0, 0, 0}, false}, Case{{0, 0, 1}, true}, Case{{1e-3, 0, 0}, true}}) {
        Transform t;
        t.SetPosition(c.position.x, c.position.y, c.position.z);
        glLoadMatrixd(poisoned);
        t.Apply();
        EXPECT_EQ(std::isnan(ModelView()[13]), c.translated) << c.position.x << " " << c.position.z;
    }
}

TEST_F(TransformTest, ScaleIsSeparateFromApply)
{
    Transform t;
    t.SetScale(2.0, 3.0, 4.0);
    t.MoveBy(1.0, 0.0, 0.0);
    t.RotateBy(0.0, 0.0, 90.0);
    t.Apply();
    const Matrix placed = ModelView();
    EXPECT_NEAR(placed[0] * placed[0] + placed[1] * placed[1], 1.0, 1e-6);

    glLoadIdentity();
    t.ApplyScale();
    const Matrix scaled = ModelView();
    EXPECT_EQ(scaled[0], 2.0);
    EXPECT_EQ(scaled[5], 3.0);
    EXPECT_EQ(scaled[10], 4.0);

    t.Reset();
    EXPECT_EQ(t.scaled, 1);
    EXPECT_EQ(t.scale.y, 1.0);
    EXPECT_EQ(t.position.x, 0.0);
    EXPECT_EQ(t.rotation.z, 0.0);
}

}
}
