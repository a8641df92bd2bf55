#include "app/InitialWindowController.h"

#include "app/ViewController.h"
#include "platform/widgets/ScreenRegistry.h"

InitialWindowController::InitialWindowController()
    : m_content(new ViewController(this))
{
    setWindowTitle(QStringLiteral("Calvorn"));
    setCentralWidget(m_content);
    setMinimumSize(800, 560);
    resize(1100, 720);
}

InitialWindowController *InitialWindowController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<InitialWindowController>();
}
