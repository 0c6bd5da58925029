#include "controls/ControlPlaces.h"

#include <QWidget>

namespace ControlPlaces {

QRect placeOf(std::span<const Place> places, QStringView control)
{
    for (const Place &place : places) {
        if (place.control == control)
            return place.geometry;
    }
    return {};
}

QStringList apply(QWidget *root, std::span<const Place> places)
{
    QStringList missing;
    for (const Place &place : places) {
        if (auto *control = root->findChild<QWidget *>(place.control.toString()))
            control->setGeometry(place.geometry);
        else
            missing.append(place.control.toString());
    }
    return missing;
}

} // namespace ControlPlaces
