#pragma once

#include <cstdint>

// Plain float records for 2D and 3D geometry, copied as values. Vectors are
// row vectors: a point is transformed as v' = v x M, so A x B applies A first.
// Positive angles (radians) rotate counter-clockwise.

// Halves round away from zero.
inline int32_t RoundToInt(float x)
{
    return x > 0.0f ? int32_t(x + 0.5f) : int32_t(x - 0.5f);
}

struct cVector2
{
    float X, Y;
};

inline cVector2 operator+(const cVector2& a, const cVector2& b) { return {a.X + b.X, a.Y + b.Y}; }
inline cVector2 operator-(const cVector2& a, const cVector2& b) { return {a.X - b.X, a.Y - b.Y}; }
inline cVector2 operator-(const cVector2& v) { return {-v.X, -v.Y}; }
inline cVector2 operator*(const cVector2& v, float s) { return {v.X * s, v.Y * s}; }
inline float Dot(const cVector2& a, const cVector2& b) { return a.X * b.X + a.Y * b.Y; }
// The z of the 3D cross product: positive when b turns counter-clockwise from a.
inline float Cross(const cVector2& a, const cVector2& b) { return a.X * b.Y - a.Y * b.X; }
// a turned a quarter counter-clockwise.
inline cVector2 Perpendicular(const cVector2& a) { return {-a.Y, a.X}; }
inline cVector2 Lerp(const cVector2& a, const cVector2& b, float t) { return a + (b - a) * t; }
inline cVector2 Midpoint(const cVector2& a, const cVector2& b) { return (a + b) * 0.5f; }
float Length(const cVector2& v);
// Unit length; a vector too short to have a direction (1e-11 and below)
// becomes zero.
cVector2 Normalised(const cVector2& v);
// Where the lines through a0-a1 and b0-b1 cross, as the parameter along each
// (0 at a0 or b0, 1 at a1 or b1); false when the cross product of their
// directions is within parallelLimit of zero.
bool CrossLines(const cVector2& a0, const cVector2& a1, const cVector2& b0, const cVector2& b1,
                float parallelLimit, float& ta, float& tb);

struct cVector3
{
    float X, Y, Z;

    cVector3& operator+=(const cVector3& v)
    {
        X += v.X;
        Y += v.Y;
        Z += v.Z;
        return *this;
    }
    cVector3& operator-=(const cVector3& v)
    {
        X -= v.X;
        Y -= v.Y;
        Z -= v.Z;
        return *this;
    }
    cVector3& operator*=(float s)
    {
        X *= s;
        Y *= s;
        Z *= s;
        return *this;
    }
    cVector3& operator/=(float s)
    {
        X /= s;
        Y /= s;
        Z /= s;
        return *this;
    }
    float LengthSquared() const { return X * X + Y * Y + Z * Z; }
    float Length() const;
    // Leaves a zero-length vector unchanged.
    void Normalise();
    // Divides by the length without a guard: a zero vector becomes non-finite.
    void NormaliseUnchecked();
};

inline cVector3 operator+(const cVector3& a, const cVector3& b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }
inline cVector3 operator-(const cVector3& a, const cVector3& b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }
inline cVector3 operator-(const cVector3& v) { return {-v.X, -v.Y, -v.Z}; }
inline cVector3 operator*(const cVector3& v, float s) { return {v.X * s, v.Y * s, v.Z * s}; }
inline cVector3 operator/(const cVector3& v, float s) { return {v.X / s, v.Y / s, v.Z / s}; }
inline float Dot(const cVector3& a, const cVector3& b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; }
inline cVector3 Cross(const cVector3& a, const cVector3& b)
{
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

struct cVector4
{
    float X, Y, Z, W;
};

inline float Dot(const cVector4& a, const cVector4& b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z + a.W * b.W; }

// Axis-aligned rectangle; its edges belong to it.
struct cRect
{
    float xMin, yMin, xMax, yMax;

    bool Contains(const cVector2& p) const { return xMin <= p.X && p.X <= xMax && yMin <= p.Y && p.Y <= yMax; }
    void ClampPoint(cVector2& p) const;
    // Moves each edge outwards by its margin; the result is not reordered.
    void Grow(float left, float top, float right, float bottom)
    {
        xMin -= left;
        yMin -= top;
        xMax += right;
        yMax += bottom;
    }
    // Margins as one record: X left, Y top, Z right, W bottom.
    void Grow(const cVector4& margins) { Grow(margins.X, margins.Y, margins.Z, margins.W); }
    cVector2 GetSize() const { return {xMax - xMin, yMax - yMin}; }
};

// Rotation quaternion; S is the scalar part.
struct cQuaternion
{
    float X, Y, Z, S;
};

struct cMatrix33
{
    cVector3 Row0, Row1, Row2;

    cVector3& operator[](int i) { return (&Row0)[i]; }
    const cVector3& operator[](int i) const { return (&Row0)[i]; }

    void SetIdentity();
    void SetScale(float sx, float sy, float sz);
    // Rotations through the fast sine table.
    void SetRotationX(float angle);
    void SetRotationY(float angle);
    void SetRotationZ(float angle);
    void SetRotationX(float sine, float cosine);
    void SetRotationZ(float sine, float cosine);
    // Rotation about X by angleX, then about Y by angleY.
    void SetRotationXY(float angleX, float angleY);
    // Rotation of angle about the unit axis.
    void SetRotationAxis(const cVector3& axis, float angle);
    void SetFromQuaternion(const cQuaternion& q);
    // Row2 along the direction, Row0 = up x Row2, Row1 = Row2 x Row0; the
    // identity when the direction is shorter than 1e-6.
    void SetLookDirection(const cVector3& direction, const cVector3& up);
    void SetLookAt(const cVector3& from, const cVector3& to);
    // As SetLookAt, but false and the identity when the direction is too
    // short or (nearly) parallel to the up axis.
    bool SetLookBasis(const cVector3& from, const cVector3& to);

    float Determinant() const;
    // Gauss-Jordan with partial pivoting; false and the identity when singular.
    bool Invert(cMatrix33& out) const;
    cVector3 TransformRow(const cVector3& v) const;    // v x M
    cVector3 TransformColumn(const cVector3& v) const; // M x v

    static void Multiply(cMatrix33& out, const cMatrix33& a, const cMatrix33& b);
};

// Affine transform: Row0-Row2 the linear part, Row3 the translation.
struct cMatrix43
{
    cVector3 Row0, Row1, Row2, Row3;

    cVector3& operator[](int i) { return (&Row0)[i]; }
    const cVector3& operator[](int i) const { return (&Row0)[i]; }

    cVector3 TransformPoint(const cVector3& v) const; // v x R + T
    // The same twelve floats read as three rows of four: (R | T) x (v, 1).
    cVector3 TransformPointRows34(const cVector3& v) const;

    static void Multiply(cMatrix43& out, const cMatrix43& a, const cMatrix43& b);
    static void Multiply(cMatrix43& out, const cMatrix33& a, const cMatrix43& b);
    static void Multiply(cMatrix43& out, const cMatrix43& a, const cMatrix33& b);
};

// 4x4 transform, row-major.
struct cMatrix44
{
    cVector4 Row0, Row1, Row2, Row3;

    cVector4& operator[](int i) { return (&Row0)[i]; }
    const cVector4& operator[](int i) const { return (&Row0)[i]; }

    void Assign(const cMatrix44& other) { *this = other; }
    static cMatrix44 FromRows(const cVector4& r0, const cVector4& r1, const cVector4& r2, const cVector4& r3)
    {
        return {r0, r1, r2, r3};
    }
    cVector4 TransformRow(const cVector4& v) const;    // v x M
    cVector4 TransformColumn(const cVector4& v) const; // M x v
    cVector3 TransformPoint(const cVector3& v) const;  // (v, 1) x M

    static void Multiply(cMatrix44& out, const cMatrix44& a, const cMatrix44& b);
    // m followed by the rotation r; the fourth column of m stays.
    static void MultiplyRotation(cMatrix44& out, const cMatrix44& m, const cMatrix33& r);
    // r applied before the upper three rows of m; Row3 stays.
    static void PreMultiplyRotation(cMatrix44& out, const cMatrix33& r, const cMatrix44& m);
};
