#include <gtest/gtest.h>
#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <cmath>

namespace {

constexpr double kHalfPi = 1.5707963267948966;

TEST(Rotations, EulerDecomposesBackForEveryOrder) {
    const double angles[][3] = {{0.3, -0.7, 1.1}, {2.5, 0.2, -2.9}, {0.1, 1.5, 0.4}};
    for (int o = 0; o < 6; ++o)
        for (const auto& a : angles) {
            auto order = static_cast<MEulerRotation::RotationOrder>(o);
            MEulerRotation e(a[0], a[1], a[2], order);
            MEulerRotation back = MEulerRotation::decompose(e.asMatrix(), order);
            EXPECT_TRUE(back.asMatrix().isEquivalent(e.asMatrix(), 1e-9)) << "order " << o;
        }
}

TEST(Rotations, GimbalLockStillGivesTheSameMatrix) {
    for (int o = 0; o < 6; ++o) {
        auto order = static_cast<MEulerRotation::RotationOrder>(o);
        MEulerRotation e(0.4, 0.4, 0.4, order);
        e[o == 0 || o == 5 ? 1 : o == 1 || o == 4 ? 2 : 0] = 0;  // middle axis set below
        const int middle[] = {1, 2, 0, 2, 0, 1};
        e[static_cast<unsigned>(middle[o])] = kHalfPi;
        MEulerRotation back = MEulerRotation::decompose(e.asMatrix(), order);
        EXPECT_TRUE(back.asMatrix().isEquivalent(e.asMatrix(), 1e-9)) << "order " << o;
    }
}

TEST(Rotations, RowVectorsRotateRightHanded) {
    MVector y = MVector(1, 0, 0) * MEulerRotation(0, 0, kHalfPi).asMatrix();
    EXPECT_NEAR(y.y, 1, 1e-12);
    MVector z = MVector(0, 1, 0) * MEulerRotation(kHalfPi, 0, 0).asMatrix();
    EXPECT_NEAR(z.z, 1, 1e-12);
}

TEST(Rotations, XyzAppliesXFirst) {
    MEulerRotation e(kHalfPi, kHalfPi, 0);
    MMatrix expected = MEulerRotation(kHalfPi, 0, 0).asMatrix() * MEulerRotation(0, kHalfPi, 0).asMatrix();
    EXPECT_TRUE(e.asMatrix().isEquivalent(expected, 1e-12));
}

TEST(Rotations, QuaternionAndEulerAgree) {
    MEulerRotation e(0.3, -0.2, 0.9);
    MQuaternion q = e.asQuaternion();
    EXPECT_TRUE(q.asMatrix().isEquivalent(e.asMatrix(), 1e-12));
    MEulerRotation back = q.asEulerRotation();
    EXPECT_NEAR(back.x, 0.3, 1e-12);
    EXPECT_NEAR(back.y, -0.2, 1e-12);
    EXPECT_NEAR(back.z, 0.9, 1e-12);
}

TEST(Rotations, QuaternionProductMatchesMatrixProduct) {
    MQuaternion a = MEulerRotation(0.3, 0, 0).asQuaternion();
    MQuaternion b = MEulerRotation(0, 0.5, 0.2).asQuaternion();
    EXPECT_TRUE((a * b).asMatrix().isEquivalent(a.asMatrix() * b.asMatrix(), 1e-12));
}

TEST(TransformationMatrices, MatrixDecomposesIntoTranslationRotationScale) {
    MTransformationMatrix src;
    const double r[3] = {0.2, 0.4, -0.6};
    const double s[3] = {1, 2, 3};
    src.setRotation(r, MTransformationMatrix::kXYZ);
    src.setScale(s, MSpace::kTransform);
    src.setTranslation(MVector(4, 5, 6), MSpace::kTransform);
    MTransformationMatrix back(src.asMatrix());
    double r2[3], s2[3];
    MTransformationMatrix::RotationOrder order;
    back.getRotation(r2, order);
    back.getScale(s2, MSpace::kWorld);
    EXPECT_EQ(order, MTransformationMatrix::kXYZ);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(r2[i], r[i], 1e-12);
        EXPECT_NEAR(s2[i], s[i], 1e-12);
    }
    EXPECT_TRUE(back.getTranslation(MSpace::kWorld).isEquivalent(MVector(4, 5, 6)));
}

TEST(TransformationMatrices, RotationOrdersAreOneAboveEulerOrders) {
    EXPECT_EQ(MTransformationMatrix::kXYZ, 1);
    EXPECT_EQ(MTransformationMatrix::kZYX, 6);
    EXPECT_EQ(MEulerRotation::kXYZ, 0);
}

TEST(Matrices, InverseUndoesAndSingularStaysPut) {
    MTransformationMatrix t;
    const double r[3] = {0.5, 0.1, 0.2};
    t.setRotation(r, MTransformationMatrix::kYZX);
    t.setTranslation(MVector(1, 2, 3), MSpace::kTransform);
    MMatrix m = t.asMatrix();
    EXPECT_TRUE((m * m.inverse()).isEquivalent(MMatrix::identity, 1e-12));
    const double zero[4][4] = {};
    MMatrix singular(zero);
    EXPECT_EQ(singular.inverse(), singular);
}

}  // namespace
