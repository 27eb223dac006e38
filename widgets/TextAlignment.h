#pragma once

#include <Qt>

// The program's alignment codes for definition texts: 0 left, 1 right, 2 centre.
inline Qt::Alignment HorizontalAlignmentFromCode(int code) {
    switch (code) {
    case 0:
        return Qt::AlignLeft;
    case 1:
        return Qt::AlignRight;
    default:
        return Qt::AlignHCenter;
    }
}
