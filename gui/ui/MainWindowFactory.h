#pragma once

class QMainWindow;

namespace Model {
class ImageCellEngine;
}

namespace UI {

// The single place that decides which window the editor shows; handed to the core at start-up.
QMainWindow* CreateMainWindow(Model::ImageCellEngine* pCellEngine);

} // namespace UI
