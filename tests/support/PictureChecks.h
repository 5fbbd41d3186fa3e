#pragma once
// Checks on pictures the GUI tests take of windows.
#include <QImage>

#include <cstdlib>

namespace GuiTest {

// Whether some pixel of Image is within Slack of Color in each channel: a picture shown in a
// window, whatever its place and scaling.
inline bool HasColorNear(const QImage& Image, QRgb Color, int Slack) {
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X) {
            const QRgb P = Image.pixel(X, Y);
            if (std::abs(qRed(P) - qRed(Color)) <= Slack &&
                std::abs(qGreen(P) - qGreen(Color)) <= Slack &&
                std::abs(qBlue(P) - qBlue(Color)) <= Slack)
                return true;
        }
    return false;
}

}  // namespace GuiTest
