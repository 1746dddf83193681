#pragma once

#include <QString>
#include <QStringList>

namespace vnq::test {

// What is wrong with how a screen update writes onto the pictures it places, judged
// against the picture manifest of the sources (assets/parts/manifest.json): the frames a
// picture draws (its faces, keys and boxes, at the place the update puts the picture) must
// hold the labels written into them with a margin all round, and a frame that holds the
// label of an item must keep clear of the side buttons (touch areas with neither label nor
// picture, whose look the background carries) and of every other labelled item's touch
// area. An item with a touch area or a picture must have its label in a frame; a picture
// the manifest does not list is a fault too. Empty when all is well.
QStringList pictureLayoutFaults(const QString& update);

}  // namespace vnq::test
