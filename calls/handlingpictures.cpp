#include "calls/handlingpictures.h"

#include "calls/callresources.h"

static void InitHandlingResources() {
    Q_INIT_RESOURCE(handling);
}

namespace talmor {

QPixmap HandlingPicture(const QString& name) {
    static const bool registered = [] {
        InitHandlingResources();
        return true;
    }();
    (void)registered;
    return RenderCallPicture(QStringLiteral(":/handling/%1.svg").arg(name));
}

} // namespace talmor
