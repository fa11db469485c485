#pragma once
// One entry of the list of device families that the programmer detects by
// itself ("auto.lst"): the family name shown to the user, the description
// file of the device that stands for the family, and the family's pair file
// (identification text to display name), both in the devices folder.

#include <QString>

struct TAutoListItem
{
    QString name;
    QString deviceFile;
    QString pairFile;
};
