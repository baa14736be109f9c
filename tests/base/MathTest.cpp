#include "base/FastMath.h"
#include "base/Math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr float kPi = 3.14159265f;

void ExpectNear(const cVector3& actual, const cVector3& expected, float tolerance)
{
    EXPECT_NEAR(actual.X, expected.X, tolerance);
    EXPECT_NEAR(actual.Y, expected.Y, tolerance);
    EXPECT_NEAR(actual.Z, expected.Z, tolerance);
}

void ExpectNear(const cMatrix33& actual, const cMatrix33& expected, float tolerance)
{
    for (int i = 0; i < 3; ++i)
        ExpectNear(actual[i], expected[i], tolerance);
}

cMatrix44 Sample44()
{
    return {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};
}

cMatrix44 Identity44()
{
    return {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
}

bool Equal(const cMatrix44& a, const cMatrix44& b)
{
    const float* p = &a.Row0.X;
    const float* q = &b.Row0.X;
    for (int i = 0; i < 16; ++i)
    {
        if (p[i] != q[i])
            return false;
    }
    return true;
}

class MathTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { InitFastMathTables(); }
};
} // namespace

TEST(Math, RectContainsItsEdgesAndClamps)
{
    const cRect rect = {0, 0, 20, 10};
    for (const cVector2 p : {cVector2{0, 0}, cVector2{20, 10}, cVector2{0, 10}, cVector2{20, 0}, cVector2{5, 5}})
        EXPECT_TRUE(rect.Contains(p)) << p.X << "," << p.Y;
    for (const cVector2 p : {cVector2{-0.01f, 5}, cVector2{20.01f, 5}, cVector2{5, -0.01f}, cVector2{5, 10.01f}})
        EXPECT_FALSE(rect.Contains(p)) << p.X << "," << p.Y;

    cVector2 p = {-5, 30};
    rect.ClampPoint(p);
    EXPECT_EQ(p.X, 0.0f);
    EXPECT_EQ(p.Y, 10.0f);
    EXPECT_EQ(rect.GetSize().X, 20.0f);
}

TEST(Math, RectGrowMovesEdgesWithoutReordering)
{
    cRect rect = {0, 0, 20, 20};
    rect.Grow(10, 10, 10, 0);
    EXPECT_EQ(rect.xMin, -10.0f);
    EXPECT_EQ(rect.yMin, -10.0f);
    EXPECT_EQ(rect.xMax, 30.0f);
    EXPECT_EQ(rect.yMax, 20.0f);

    cRect shrunk = {0, 0, 20, 20};
    shrunk.Grow(cVector4{-15, 0, -15, 0});
    EXPECT_EQ(shrunk.xMin, 15.0f);
    EXPECT_EQ(shrunk.xMax, 5.0f);
}

TEST(Math, RoundToIntRoundsHalvesAwayFromZero)
{
    const struct
    {
        float x;
        int32_t expected;
    } cases[] = {{1.5f, 2}, {-1.5f, -2}, {0.4f, 0}, {-0.4f, 0}, {2.49f, 2}, {-2.5f, -3}, {0.0f, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundToInt(c.x), c.expected) << c.x;
}

TEST_F(MathTest, RotationZ)
{
    cMatrix33 rotation;
    rotation.SetRotationZ(0.0f);
    cMatrix33 identity;
    identity.SetIdentity();
    ExpectNear(rotation, identity, 0.0f);

    rotation.SetRotationZ(kPi / 2);
    ExpectNear(rotation.TransformRow({1, 0, 0}), {0, 1, 0}, 1e-3f);
    rotation.SetRotationZ(-kPi / 2); // vertical captions
    ExpectNear(rotation.TransformRow({1, 0, 0}), {0, -1, 0}, 1e-3f);
}

TEST_F(MathTest, RotationsAgreeWithTheirOtherForms)
{
    const float angle = 0.7f;
    const cVector3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    cMatrix33 table[3];
    table[0].SetRotationX(angle);
    table[1].SetRotationY(angle);
    table[2].SetRotationZ(angle);
    for (int i = 0; i < 3; ++i)
    {
        cMatrix33 axis;
        axis.SetRotationAxis(axes[i], angle);
        ExpectNear(table[i], axis, 1e-3f);
        EXPECT_NEAR(table[i].Determinant(), 1.0f, 1e-3f);
    }

    // A quaternion of angle a about Z: (0, 0, sin a/2, cos a/2).
    cMatrix33 fromQuaternion;
    fromQuaternion.SetFromQuaternion({0, 0, std::sin(angle / 2), std::cos(angle / 2)});
    ExpectNear(fromQuaternion, table[2], 1e-3f);

    cMatrix33 combined;
    combined.SetRotationXY(angle, angle);
    cMatrix33 product;
    cMatrix33::Multiply(product, table[0], table[1]);
    ExpectNear(combined, product, 1e-6f);
}

TEST(Math, InverseAndDeterminant)
{
    const cMatrix33 m = {{2, 0, 1}, {1, 3, 0}, {0, 1, 4}};
    EXPECT_NEAR(m.Determinant(), 25.0f, 1e-4f);
    cMatrix33 inverse;
    ASSERT_TRUE(m.Invert(inverse));
    cMatrix33 product;
    cMatrix33::Multiply(product, m, inverse);
    cMatrix33 identity;
    identity.SetIdentity();
    ExpectNear(product, identity, 1e-5f);

    // Needs a row swap: zero on the first pivot.
    const cMatrix33 swapped = {{0, 1, 0}, {1, 0, 0}, {0, 0, 2}};
    ASSERT_TRUE(swapped.Invert(inverse));
    ExpectNear(inverse, {{0, 1, 0}, {1, 0, 0}, {0, 0, 0.5f}}, 1e-6f);

    const cMatrix33 singular = {{1, 2, 3}, {2, 4, 6}, {0, 1, 1}};
    EXPECT_FALSE(singular.Invert(inverse));
    ExpectNear(inverse, identity, 0.0f);
}

TEST(Math, LookBases)
{
    cMatrix33 basis;
    basis.SetLookAt({0, 0, 0}, {0, 0, 5});
    ExpectNear(basis.Row2, {0, 0, 1}, 1e-6f);
    ExpectNear(basis.Row0, {1, 0, 0}, 1e-6f);
    ExpectNear(basis.Row1, {0, 1, 0}, 1e-6f);

    cMatrix33 identity;
    identity.SetIdentity();
    basis.SetLookDirection({0, 0, 1e-7f}, {0, 1, 0});
    ExpectNear(basis, identity, 0.0f);
    EXPECT_TRUE(basis.SetLookBasis({1, 1, 1}, {2, 1, 1}));
    ExpectNear(basis.Row2, {1, 0, 0}, 1e-6f);
    EXPECT_FALSE(basis.SetLookBasis({0, 0, 0}, {0, -3, 0}));
    ExpectNear(basis, identity, 0.0f);
    EXPECT_FALSE(basis.SetLookBasis({1, 2, 3}, {1, 2, 3}));
}

TEST(Math, Matrix44Products)
{
    const cMatrix44 m = Sample44();
    cMatrix44 out;
    cMatrix44::Multiply(out, m, Identity44());
    EXPECT_TRUE(Equal(out, m));
    cMatrix44::Multiply(out, Identity44(), m);
    EXPECT_TRUE(Equal(out, m));

    // Row by row: out[i][j] = sum a[i][k] b[k][j]; the translation row of b applies last.
    cMatrix44 translate = Identity44();
    translate.Row3 = {10, 20, 30, 1};
    cMatrix44 scale = Identity44();
    scale.Row0.X = 2;
    cMatrix44::Multiply(out, scale, translate);
    const cVector3 p = out.TransformPoint({1, 1, 1});
    ExpectNear(p, {12, 21, 31}, 0.0f);

    cMatrix44 aliased = m;
    cMatrix44::Multiply(aliased, aliased, aliased);
    cMatrix44 squared;
    cMatrix44::Multiply(squared, m, m);
    EXPECT_TRUE(Equal(aliased, squared));
    EXPECT_EQ(squared.Row0.X, 90.0f); // 1*1 + 2*5 + 3*9 + 4*13
}

TEST_F(MathTest, MultiplyRotationKeepsTheFourthColumn)
{
    const cMatrix44 m = Sample44();
    cMatrix33 rotation;
    rotation.SetRotationZ(0.3f);
    cMatrix44 out;
    cMatrix44::MultiplyRotation(out, m, rotation);
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(out[i].W, m[i].W);
        const cVector3 expected = rotation.TransformRow({m[i].X, m[i].Y, m[i].Z});
        ExpectNear({out[i].X, out[i].Y, out[i].Z}, expected, 0.0f);
    }

    cMatrix44 pre;
    cMatrix44::PreMultiplyRotation(pre, rotation, Identity44());
    for (int i = 0; i < 3; ++i)
        ExpectNear({pre[i].X, pre[i].Y, pre[i].Z}, rotation[i], 0.0f);
    EXPECT_EQ(pre.Row3.W, 1.0f);
}

TEST(Math, AffineTransforms)
{
    const cMatrix43 move = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {5, 0, 0}};
    const cMatrix43 swap = {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, 7}};
    cMatrix43 both;
    cMatrix43::Multiply(both, move, swap);
    ExpectNear(both.TransformPoint({1, 2, 3}), swap.TransformPoint(move.TransformPoint({1, 2, 3})), 0.0f);
    ExpectNear(both.TransformPoint({1, 2, 3}), {2, 6, 10}, 0.0f);

    const cMatrix33 scale = {{2, 0, 0}, {0, 2, 0}, {0, 0, 2}};
    cMatrix43 scaledFirst;
    cMatrix43::Multiply(scaledFirst, scale, move);
    ExpectNear(scaledFirst.TransformPoint({1, 1, 1}), {7, 2, 2}, 0.0f);
    cMatrix43 scaledAfter;
    cMatrix43::Multiply(scaledAfter, move, scale);
    ExpectNear(scaledAfter.TransformPoint({1, 1, 1}), {12, 2, 2}, 0.0f);

    const cMatrix43 rows = {{1, 0, 0}, {2, 0, 1}, {0, 0, 3}, {0, 1, 0}};
    ExpectNear(rows.TransformPointRows34({1, 1, 1}), {3, 1, 4}, 0.0f);
}

TEST(Math, VectorOperations)
{
    cVector3 v = {3, 4, 0};
    EXPECT_EQ(v.Length(), 5.0f);
    EXPECT_EQ(Dot(v, cVector3{1, 1, 1}), 7.0f);
    ExpectNear(Cross({1, 0, 0}, {0, 1, 0}), {0, 0, 1}, 0.0f);
    v.Normalise();
    ExpectNear(v, {0.6f, 0.8f, 0}, 1e-6f);

    cVector3 zero = {0, 0, 0};
    zero.Normalise();
    ExpectNear(zero, {0, 0, 0}, 0.0f);
    zero.NormaliseUnchecked();
    EXPECT_FALSE(std::isfinite(zero.X));
    EXPECT_EQ(Dot(cVector4{1, 2, 3, 4}, cVector4{1, 1, 1, 1}), 10.0f);
}

TEST(Math, PlaneVectorOperations)
{
    const cVector2 a = {3, 4};
    EXPECT_EQ(Length(a), 5.0f);
    EXPECT_EQ(Cross(cVector2{1, 0}, cVector2{0, 1}), 1.0f) << "counter-clockwise is positive";
    const cVector2 unit = Normalised(a);
    EXPECT_NEAR(unit.X, 0.6f, 1e-6f);
    EXPECT_NEAR(unit.Y, 0.8f, 1e-6f);
    for (const cVector2 none : {cVector2{0, 0}, cVector2{1e-12f, 0}})
    {
        const cVector2 n = Normalised(none);
        EXPECT_EQ(n.X, 0.0f) << "a vector without direction becomes zero";
        EXPECT_EQ(n.Y, 0.0f);
    }

    float ta = 0, tb = 0;
    ASSERT_TRUE(CrossLines({0, 0}, {4, 0}, {1, -1}, {1, 1}, 1e-5f, ta, tb));
    EXPECT_FLOAT_EQ(ta, 0.25f);
    EXPECT_FLOAT_EQ(tb, 0.5f);
    EXPECT_FALSE(CrossLines({0, 0}, {4, 0}, {0, 1}, {4, 1.000001f}, 1e-5f, ta, tb)) << "parallel within the limit";
    EXPECT_TRUE(CrossLines({0, 0}, {4, 0}, {0, 1}, {4, 1.000001f}, 1e-11f, ta, tb));
}
