#include "ui/MainWindowFactory.h"

#include "ui/TessaraWnd.h"

namespace UI {

QMainWindow* CreateMainWindow(Model::ImageCellEngine* pCellEngine)
{
    return new TessaraWnd(pCellEngine);
}

} // namespace UI
