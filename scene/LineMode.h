#pragma once

// The silhouette lines of a frame: of the uncut and the cut scene (On), the
// uncut scene's only near the cutters (Ghost), or of the cut scene alone (Off).
enum class LineMode { On, Ghost, Off };
