#pragma once
// The per-code frames of a run: what each effect does before and after its algorithm (working
// pictures, progress passes, surface finish or plain copy). One function per effect code,
// named after the handler it stands for. The effect table names each code's frame.

#include "effects/EffectFrame.h"

namespace brumeleaf {

void FramePencilSketch(const Bitmap& S, Bitmap& R, RunContext& ctx);        // 0
void FrameSobelFilter(const Bitmap& S, Bitmap& R, RunContext& ctx);         // 1
void FrameColourSobel(const Bitmap& S, Bitmap& R, RunContext& ctx);         // 2
void FramePenandInkSketch(const Bitmap& S, Bitmap& R, RunContext& ctx);     // 3
void FramePainting(const Bitmap& S, Bitmap& R, RunContext& ctx);            // 4
void FramePainting2(const Bitmap& S, Bitmap& R, RunContext& ctx);           // 5
void FramePainting3(const Bitmap& S, Bitmap& R, RunContext& ctx);           // 6
void FramePainting4(const Bitmap& S, Bitmap& R, RunContext& ctx);           // 7
void FrameRegionGrowing(const Bitmap& S, Bitmap& R, RunContext& ctx);       // 8 and 9
void FrameColouredSquares(const Bitmap& S, Bitmap& R, RunContext& ctx);     // 10
void FrameColouredCircles(const Bitmap& S, Bitmap& R, RunContext& ctx);     // 11
void FrameVivify(const Bitmap& S, Bitmap& R, RunContext& ctx);              // 12
void FrameAlphaBlend(const Bitmap& S, Bitmap& R, RunContext& ctx);          // 13
void FrameNoFilter(const Bitmap& S, Bitmap& R, RunContext& ctx);            // 14
void FrameRandomStrokes(const Bitmap& S, Bitmap& R, RunContext& ctx);       // 15
void FramePencilStrokes(const Bitmap& S, Bitmap& R, RunContext& ctx);       // 16
void FrameCartoonify(const Bitmap& S, Bitmap& R, RunContext& ctx);          // 17
void FrameColourInk(const Bitmap& S, Bitmap& R, RunContext& ctx);           // 18
void FrameSepia(const Bitmap& S, Bitmap& R, RunContext& ctx);               // 19
void FrameExpressivePainting(const Bitmap& S, Bitmap& R, RunContext& ctx);  // 20
void FramePenandInkSketch2(const Bitmap& S, Bitmap& R, RunContext& ctx);    // 21
void FrameRandomPolygons(const Bitmap& S, Bitmap& R, RunContext& ctx);      // 22
void FrameNewPencilSketch(const Bitmap& S, Bitmap& R, RunContext& ctx);     // 23
void FramePencilSketch5(const Bitmap& S, Bitmap& R, RunContext& ctx);       // 24
void FrameShadedTriangles(const Bitmap& S, Bitmap& R, RunContext& ctx);     // 25
void FrameHalfToneLines(const Bitmap& S, Bitmap& R, RunContext& ctx);       // 26
void FramePainting9(const Bitmap& S, Bitmap& R, RunContext& ctx);           // 27
void FramePainting10(const Bitmap& S, Bitmap& R, RunContext& ctx);          // 28
void FrameAbstract(const Bitmap& S, Bitmap& R, RunContext& ctx);            // 29

}  // namespace brumeleaf
