#include "Rotation.h"

#include <cmath>

namespace mayasim {

namespace {

constexpr int kAxes[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {1, 0, 2}, {2, 1, 0}};

int clampOrder(int order) {
    return order >= 0 && order < 6 ? order : 0;
}
bool isOddOrder(int order) {
    return order >= 3;
}

Mat3 axisRotation(int axis, double angle) {
    double c = std::cos(angle), s = std::sin(angle);
    Mat3 r{};
    int a = (axis + 1) % 3, b = (axis + 2) % 3;
    r[axis][axis] = 1.0;
    r[a][a] = c;
    r[a][b] = s;
    r[b][a] = -s;
    r[b][b] = c;
    return r;
}

Mat3 multiply(const Mat3& l, const Mat3& r) {
    Mat3 m{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i][j] = l[i][0] * r[0][j] + l[i][1] * r[1][j] + l[i][2] * r[2][j];
    return m;
}

}  // namespace

Mat3 eulerToMatrix(const double angles[3], int order) {
    const int* ax = kAxes[clampOrder(order)];
    return multiply(multiply(axisRotation(ax[0], angles[ax[0]]), axisRotation(ax[1], angles[ax[1]])),
                    axisRotation(ax[2], angles[ax[2]]));
}

// For M = Ri(a) Rj(b) Rk(c): sin b = -m[i][k] for the cyclic orders and +m[i][k] for the others.
void matrixToEuler(const Mat3& m, int order, double angles[3]) {
    order = clampOrder(order);
    const int i = kAxes[order][0], j = kAxes[order][1], k = kAxes[order][2];
    const double sign = isOddOrder(order) ? -1.0 : 1.0;
    double cy = std::sqrt(m[i][i] * m[i][i] + m[i][j] * m[i][j]);
    double a, b, c;
    b = std::atan2(-sign * m[i][k], cy);
    if (cy > 1.0e-12) {
        a = std::atan2(sign * m[j][k], m[k][k]);
        c = std::atan2(sign * m[i][j], m[i][i]);
    } else {
        a = std::atan2(-sign * m[k][j], m[j][j]);
        c = 0.0;
    }
    angles[i] = a;
    angles[j] = b;
    angles[k] = c;
}

Mat3 quatToMatrix(const Quat& q) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    Mat3 m{};
    m[0] = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w)};
    m[1] = {2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w)};
    m[2] = {2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)};
    return m;
}

Quat matrixToQuat(const Mat3& m) {
    double trace = m[0][0] + m[1][1] + m[2][2];
    Quat q{};
    if (trace > 0) {
        double s = 0.5 / std::sqrt(trace + 1.0);
        q = {(m[1][2] - m[2][1]) * s, (m[2][0] - m[0][2]) * s, (m[0][1] - m[1][0]) * s, 0.25 / s};
    } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
        double s = 2.0 * std::sqrt(1.0 + m[0][0] - m[1][1] - m[2][2]);
        q = {0.25 * s, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s, (m[1][2] - m[2][1]) / s};
    } else if (m[1][1] > m[2][2]) {
        double s = 2.0 * std::sqrt(1.0 + m[1][1] - m[0][0] - m[2][2]);
        q = {(m[0][1] + m[1][0]) / s, 0.25 * s, (m[1][2] + m[2][1]) / s, (m[2][0] - m[0][2]) / s};
    } else {
        double s = 2.0 * std::sqrt(1.0 + m[2][2] - m[0][0] - m[1][1]);
        q = {(m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, 0.25 * s, (m[0][1] - m[1][0]) / s};
    }
    if (q[3] < 0)
        for (double& v : q) v = -v;
    return q;
}

Quat eulerToQuat(const double angles[3], int order) {
    return matrixToQuat(eulerToMatrix(angles, order));
}

void quatToEuler(const Quat& q, int order, double angles[3]) {
    double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    Quat u = n > 0 ? Quat{q[0] / n, q[1] / n, q[2] / n, q[3] / n} : Quat{0, 0, 0, 1};
    matrixToEuler(quatToMatrix(u), order, angles);
}

}  // namespace mayasim
