#include "base/Math.h"

#include "base/FastMath.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{
constexpr float kMinDirectionLength = 1e-6f;
constexpr float kMinPivot = 1e-6f;
constexpr float kMaxUpAlignment = 0.9999f;
constexpr cVector3 kDefaultUp = {0.0f, 1.0f, 0.0f};
} // namespace

float Length(const cVector2& v) { return std::sqrt(Dot(v, v)); }

cVector2 Normalised(const cVector2& v)
{
    constexpr float kNoDirection = 1e-11f;
    const float length = Length(v);
    return length > kNoDirection ? v * (1.0f / length) : cVector2{0.0f, 0.0f};
}

bool CrossLines(const cVector2& a0, const cVector2& a1, const cVector2& b0, const cVector2& b1,
                float parallelLimit, float& ta, float& tb)
{
    const cVector2 da = a1 - a0, db = b1 - b0, d0 = b0 - a0;
    const float denominator = Cross(da, db);
    if (std::fabs(denominator) < parallelLimit)
        return false;
    ta = Cross(d0, db) / denominator;
    tb = Cross(d0, da) / denominator;
    return true;
}

float cVector3::Length() const { return std::sqrt(LengthSquared()); }

void cVector3::Normalise()
{
    const float length = Length();
    if (length > 0.0f)
        *this /= length;
}

void cVector3::NormaliseUnchecked() { *this /= Length(); }

void cRect::ClampPoint(cVector2& p) const
{
    p.X = std::max(xMin, std::min(p.X, xMax));
    p.Y = std::max(yMin, std::min(p.Y, yMax));
}

void cMatrix33::SetIdentity() { SetScale(1.0f, 1.0f, 1.0f); }

void cMatrix33::SetScale(float sx, float sy, float sz)
{
    Row0 = {sx, 0.0f, 0.0f};
    Row1 = {0.0f, sy, 0.0f};
    Row2 = {0.0f, 0.0f, sz};
}

void cMatrix33::SetRotationX(float angle) { SetRotationX(FastSin(angle), FastCos(angle)); }

void cMatrix33::SetRotationY(float angle)
{
    const float c = FastCos(angle);
    const float s = FastSin(angle);
    Row0 = {c, 0.0f, -s};
    Row1 = {0.0f, 1.0f, 0.0f};
    Row2 = {s, 0.0f, c};
}

void cMatrix33::SetRotationZ(float angle) { SetRotationZ(FastSin(angle), FastCos(angle)); }

void cMatrix33::SetRotationX(float sine, float cosine)
{
    Row0 = {1.0f, 0.0f, 0.0f};
    Row1 = {0.0f, cosine, sine};
    Row2 = {0.0f, -sine, cosine};
}

void cMatrix33::SetRotationZ(float sine, float cosine)
{
    Row0 = {cosine, sine, 0.0f};
    Row1 = {-sine, cosine, 0.0f};
    Row2 = {0.0f, 0.0f, 1.0f};
}

void cMatrix33::SetRotationXY(float angleX, float angleY)
{
    cMatrix33 x;
    cMatrix33 y;
    x.SetRotationX(angleX);
    y.SetRotationY(angleY);
    Multiply(*this, x, y);
}

void cMatrix33::SetRotationAxis(const cVector3& axis, float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float t = 1.0f - c;
    const float x = axis.X;
    const float y = axis.Y;
    const float z = axis.Z;
    Row0 = {x * x * t + c, x * y * t + z * s, x * z * t - y * s};
    Row1 = {x * y * t - z * s, y * y * t + c, y * z * t + x * s};
    Row2 = {x * z * t + y * s, y * z * t - x * s, z * z * t + c};
}

void cMatrix33::SetFromQuaternion(const cQuaternion& q)
{
    const float x = q.X;
    const float y = q.Y;
    const float z = q.Z;
    const float s = q.S;
    Row0 = {1.0f - 2.0f * (y * y + z * z), 2.0f * (x * y + s * z), 2.0f * (x * z - s * y)};
    Row1 = {2.0f * (x * y - s * z), 1.0f - 2.0f * (x * x + z * z), 2.0f * (y * z + s * x)};
    Row2 = {2.0f * (x * z + s * y), 2.0f * (y * z - s * x), 1.0f - 2.0f * (x * x + y * y)};
}

void cMatrix33::SetLookDirection(const cVector3& direction, const cVector3& up)
{
    const float length = direction.Length();
    if (length < kMinDirectionLength)
    {
        SetIdentity();
        return;
    }
    Row2 = direction / length;
    Row0 = Cross(up, Row2);
    Row0.Normalise();
    Row1 = Cross(Row2, Row0);
}

void cMatrix33::SetLookAt(const cVector3& from, const cVector3& to) { SetLookDirection(to - from, kDefaultUp); }

bool cMatrix33::SetLookBasis(const cVector3& from, const cVector3& to)
{
    const cVector3 direction = to - from;
    const float length = direction.Length();
    if (length < kMinDirectionLength || std::fabs(direction.Y / length) >= kMaxUpAlignment)
    {
        SetIdentity();
        return false;
    }
    SetLookDirection(direction, kDefaultUp);
    return true;
}

float cMatrix33::Determinant() const
{
    return Dot(Row0, Cross(Row1, Row2));
}

bool cMatrix33::Invert(cMatrix33& out) const
{
    float a[3][6];
    for (int i = 0; i < 3; ++i)
    {
        const cVector3& row = (*this)[i];
        const float values[6] = {row.X, row.Y, row.Z, i == 0 ? 1.0f : 0.0f, i == 1 ? 1.0f : 0.0f, i == 2 ? 1.0f : 0.0f};
        std::copy(values, values + 6, a[i]);
    }
    for (int column = 0; column < 3; ++column)
    {
        int pivot = column;
        for (int i = column + 1; i < 3; ++i)
        {
            if (std::fabs(a[i][column]) > std::fabs(a[pivot][column]))
                pivot = i;
        }
        if (std::fabs(a[pivot][column]) < kMinPivot)
        {
            out.SetIdentity();
            return false;
        }
        if (pivot != column)
            std::swap(a[pivot], a[column]);
        const float scale = 1.0f / a[column][column];
        for (float& value : a[column])
            value *= scale;
        for (int i = 0; i < 3; ++i)
        {
            if (i == column)
                continue;
            const float factor = a[i][column];
            for (int j = 0; j < 6; ++j)
                a[i][j] -= factor * a[column][j];
        }
    }
    for (int i = 0; i < 3; ++i)
        out[i] = {a[i][3], a[i][4], a[i][5]};
    return true;
}

cVector3 cMatrix33::TransformRow(const cVector3& v) const
{
    return Row0 * v.X + Row1 * v.Y + Row2 * v.Z;
}

cVector3 cMatrix33::TransformColumn(const cVector3& v) const
{
    return {Dot(Row0, v), Dot(Row1, v), Dot(Row2, v)};
}

void cMatrix33::Multiply(cMatrix33& out, const cMatrix33& a, const cMatrix33& b)
{
    const cMatrix33 result = {b.TransformRow(a.Row0), b.TransformRow(a.Row1), b.TransformRow(a.Row2)};
    out = result;
}

cVector3 cMatrix43::TransformPoint(const cVector3& v) const
{
    return Row0 * v.X + Row1 * v.Y + Row2 * v.Z + Row3;
}

cVector3 cMatrix43::TransformPointRows34(const cVector3& v) const
{
    const float* m = &Row0.X;
    return {m[0] * v.X + m[1] * v.Y + m[2] * v.Z + m[3], m[4] * v.X + m[5] * v.Y + m[6] * v.Z + m[7],
            m[8] * v.X + m[9] * v.Y + m[10] * v.Z + m[11]};
}

void cMatrix43::Multiply(cMatrix43& out, const cMatrix43& a, const cMatrix43& b)
{
    const cMatrix33 linear = {b.Row0, b.Row1, b.Row2};
    const cMatrix43 result = {linear.TransformRow(a.Row0), linear.TransformRow(a.Row1), linear.TransformRow(a.Row2),
                              b.TransformPoint(a.Row3)};
    out = result;
}

void cMatrix43::Multiply(cMatrix43& out, const cMatrix33& a, const cMatrix43& b)
{
    const cMatrix33 linear = {b.Row0, b.Row1, b.Row2};
    const cMatrix43 result = {linear.TransformRow(a.Row0), linear.TransformRow(a.Row1), linear.TransformRow(a.Row2),
                              b.Row3};
    out = result;
}

void cMatrix43::Multiply(cMatrix43& out, const cMatrix43& a, const cMatrix33& b)
{
    const cMatrix43 result = {b.TransformRow(a.Row0), b.TransformRow(a.Row1), b.TransformRow(a.Row2),
                              b.TransformRow(a.Row3)};
    out = result;
}

cVector4 cMatrix44::TransformRow(const cVector4& v) const
{
    return {v.X * Row0.X + v.Y * Row1.X + v.Z * Row2.X + v.W * Row3.X,
            v.X * Row0.Y + v.Y * Row1.Y + v.Z * Row2.Y + v.W * Row3.Y,
            v.X * Row0.Z + v.Y * Row1.Z + v.Z * Row2.Z + v.W * Row3.Z,
            v.X * Row0.W + v.Y * Row1.W + v.Z * Row2.W + v.W * Row3.W};
}

cVector4 cMatrix44::TransformColumn(const cVector4& v) const
{
    return {Dot(Row0, v), Dot(Row1, v), Dot(Row2, v), Dot(Row3, v)};
}

cVector3 cMatrix44::TransformPoint(const cVector3& v) const
{
    const cVector4 result = TransformRow({v.X, v.Y, v.Z, 1.0f});
    return {result.X, result.Y, result.Z};
}

void cMatrix44::Multiply(cMatrix44& out, const cMatrix44& a, const cMatrix44& b)
{
    // Built aside so out may be one of the factors.
    const cMatrix44 result = {b.TransformRow(a.Row0), b.TransformRow(a.Row1), b.TransformRow(a.Row2),
                              b.TransformRow(a.Row3)};
    out = result;
}

void cMatrix44::MultiplyRotation(cMatrix44& out, const cMatrix44& m, const cMatrix33& r)
{
    cMatrix44 result;
    for (int i = 0; i < 4; ++i)
    {
        const cVector4& row = m[i];
        const cVector3 rotated = r.TransformRow({row.X, row.Y, row.Z});
        result[i] = {rotated.X, rotated.Y, rotated.Z, row.W};
    }
    out = result;
}

void cMatrix44::PreMultiplyRotation(cMatrix44& out, const cMatrix33& r, const cMatrix44& m)
{
    cMatrix44 result;
    for (int i = 0; i < 3; ++i)
    {
        const cVector3& row = r[i];
        result[i] = m.TransformRow({row.X, row.Y, row.Z, 0.0f});
    }
    result.Row3 = m.Row3;
    out = result;
}
