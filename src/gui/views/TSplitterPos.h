#pragma once
// The layout of a configuration page's splitter: the sizes QSplitter::sizes()
// gives, command list first, then the panel. One value serves every page; the
// main window keeps it under "/WindowMain/CfgSplitter".

#include <QList>
#include <QMetaType>

using TSplitterPos = QList<int>;
