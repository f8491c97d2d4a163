#include "WindowsPlatform.h"

#include "ComSystem.h"
#include "DirectShowPort.h"

namespace vidorra::directshow {

WindowsPlatform::WindowsPlatform() : directShow(createDirectShowPort()) {}

WindowsPlatform::WindowsPlatform(std::shared_ptr<ComSystem> system)
    : directShow(createDirectShowPort(std::move(system)))
{
}

WindowsPlatform::~WindowsPlatform() = default;

}  // namespace vidorra::directshow
