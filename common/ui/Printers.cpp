#include "common/ui/Printers.h"

#include <QPrinterInfo>

namespace tolva {

QStringList InstalledPrinterNames()
{
    return QPrinterInfo::availablePrinterNames();
}

bool PrinterAvailable(const std::function<QStringList()>& printerNames)
{
    return printerNames && !printerNames().isEmpty();
}

} // namespace tolva
