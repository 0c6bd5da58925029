#pragma once

#include <QRect>
#include <QStringList>
#include <QStringView>

#include <span>

class QWidget;

// A fixed layout: where each named control sits, in its parent's
// coordinates.
namespace ControlPlaces {

struct Place
{
    QStringView control;
    QRect geometry;
};

// The place of a control of the table; an empty rectangle for others.
QRect placeOf(std::span<const Place> places, QStringView control);

// Gives each control of the table that root holds its place; returns the
// names of those it does not hold.
QStringList apply(QWidget *root, std::span<const Place> places);

} // namespace ControlPlaces
