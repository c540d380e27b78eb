// The interpreter's single window and drawing state. Filled in by the graphics module; only
// the graphics folder sees this definition (the rest of the interpreter holds it opaquely,
// through graphics_handle.hpp).
#pragma once

namespace vormel {

class GraphicsContext {};

}  // namespace vormel
