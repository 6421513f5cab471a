#pragma once
// The menu's two faces, from the add-in's own resources: one for every
// report button, one for Settings. Each is a picture with transparency;
// the face is the picture as it is, and the mask is made from its
// transparency (white where the picture is transparent, black where it
// paints), the pair a command bar button takes as Picture and Mask.

#include <QByteArray>

namespace orlo::addin {

struct FacePair {
    QByteArray picture;  // PNG with an alpha channel
    QByteArray mask;     // one-bit PNG
    bool isNull() const { return picture.isEmpty(); }
};

struct MenuFaces {
    FacePair report;
    FacePair settings;

    // Empty pairs when a resource cannot be read: the buttons then show
    // their captions alone.
    static MenuFaces load();
};

}  // namespace orlo::addin
