#include "engine/frame.h"

namespace quillora {

TextView Frame::sign()
{
    return draw(2, 1) == 1 ? TextView(u" + ") : TextView(u" - ");
}

} // namespace quillora
