#include "app/MainWindowLayout.h"

namespace MainWindowLayout {
namespace {

using ControlPlaces::Place;

constexpr int kButtonTop = 15;
constexpr int kButton = 20;

constexpr QRect toolbarButton(int x)
{
    return QRect(x, kButtonTop, kButton, kButton);
}

constexpr Place kPlaces[] = {
    // Page area
    {u"Label1", QRect(20, 4, 386, 13)},
    {u"Label2", QRect(406, 4, 113, 13)},
    {u"Image2", QRect(406, 4, 17, 13)},
    {u"RichEdit1", QRect(21, 20, 498, 318)},
    {u"StringGrid1", QRect(21, 20, 498, 294)},
    {u"Edit2", QRect(21, 318, 498, 20)},
    {u"VaultLock", QRect(21, 20, 498, 318)},
    {u"Panel1", QRect(0, 341, 525, 48)},
    // Alarm area
    {u"OvcCalendar1", QRect(20, 392, 200, 145)},
    {u"MaskEdit1", QRect(225, 392, 40, 22)},
    {u"FarbButton13", QRect(225, 419, kButton, kButton)},
    {u"FarbButton12", QRect(245, 419, kButton, kButton)},
    // Toolbar, in Panel1
    {u"Image1", QRect(1, 1, 14, 46)},
    {u"FarbButton1", toolbarButton(25)},
    {u"FarbButton2", toolbarButton(50)},
    {u"FarbButton3", toolbarButton(75)},
    {u"Label3", QRect(100, 19, 40, 13)},
    {u"FarbButton4", toolbarButton(145)},
    {u"FarbButton5", toolbarButton(170)},
    {u"FarbButton7", toolbarButton(195)},
    {u"FarbButton6", toolbarButton(225)},
    {u"FarbButton14", toolbarButton(250)},
    {u"FarbButton15", toolbarButton(275)},
    {u"FarbButton10", toolbarButton(300)},
    {u"FarbButton16", toolbarButton(300)},
    {u"FarbButton8", toolbarButton(325)},
    {u"Image4", toolbarButton(350)},
    {u"Image5", toolbarButton(375)},
    {u"Image6", toolbarButton(400)},
    {u"FarbButton17", toolbarButton(430)},
    {u"FarbButton11", toolbarButton(455)},
    {u"FarbButton9", toolbarButton(480)},
    {u"Image3", QRect(510, 1, 14, 46)},
    // Outside the window's outline: the style pictures' store
    {u"Image7", QRect(280, 430, kButton, kButton)},
    {u"Image8", QRect(300, 430, kButton, kButton)},
    {u"Image9", QRect(320, 430, kButton, kButton)},
    {u"Image10", QRect(280, 460, kButton, kButton)},
    {u"Image11", QRect(300, 460, kButton, kButton)},
    {u"Image12", QRect(320, 460, kButton, kButton)},
};

} // namespace

QRect placeOf(QStringView control)
{
    return ControlPlaces::placeOf(kPlaces, control);
}

QStringList apply(QWidget *window)
{
    return ControlPlaces::apply(window, kPlaces);
}

} // namespace MainWindowLayout
