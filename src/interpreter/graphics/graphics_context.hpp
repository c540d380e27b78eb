// The interpreter's single window and drawing state. Filled in by the graphics module.
#pragma once

namespace vormel {

struct GraphicsContext {};

}  // namespace vormel
