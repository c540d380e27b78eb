// Ownership of the graphics context without its definition, so that the window library's
// headers stay inside the graphics folder.
#pragma once

#include <memory>

namespace vormel {

class GraphicsContext;

struct GraphicsContextDeleter {
  void operator()(GraphicsContext* context) const noexcept;
};
using GraphicsContextPtr = std::unique_ptr<GraphicsContext, GraphicsContextDeleter>;

// A context with no window yet; creating it opens nothing.
GraphicsContextPtr make_graphics_context();

}  // namespace vormel
