#include "cli/Commands.h"

namespace brumeleaf::cli {

std::span<const Command> AllCommands() {
  static const Command kCommands[] = {
      {"info", "FILE", "print the picture's name, size and density", RunInfo},
      {"convert", "IN OUT", "decode IN by its extension and save it as OUT (.jpg, .jpeg, .png, .bmp)",
       RunConvert},
      {"effects", "", "list the effects with their sliders, ranges and defaults", RunEffects},
      {"apply", "INPUT -o OUTPUT [OPTIONS]",
       "draw INPUT with one effect and save the result as OUTPUT; Ctrl-C stops and writes nothing",
       RunApply, ApplyCommandOptions},
      {"render-all", "INPUT OUTDIR [OPTIONS]",
       "draw INPUT with every available effect at its defaults into OUTDIR/<code>-<name>.jpg",
       RunRenderAll, RenderAllCommandOptions},
      {"script", "INPUT SCRIPT.bfs -o OUTPUT [OPTIONS] | --check SCRIPT.bfs",
       "replay a script on INPUT and save the final result; --check lists what each row would do",
       RunScriptCommand, ScriptCommandOptions},
      {"batch", "FILE... [-d FOLDER] [OPTIONS]",
       "draw every FILE with one effect or script into FOLDER/NAME_Brumeleaf.EXT; prints a summary",
       RunBatch, BatchCommandOptions},
      {"print", "INPUT --pdf OUT.pdf [OPTIONS]",
       "lay INPUT out on an A4 page as the print preview prints it and write it as a PDF",
       RunPrint, PrintCommandOptions},
      {"modify", "IN -o OUT [OPTIONS]",
       "change the luminosity, contrast, saturation, blur or sharpness and simplification of IN",
       RunModify, ModifyCommandOptions},
      {"resize", "IN -o OUT (--width N | --width-percent P | --size WxH) [OPTIONS]",
       "resample IN to a new size, keeping its proportions unless --free-ratio or --size",
       RunResize, ResizeCommandOptions},
      {"autocontrast", "IN -o OUT", "automatic contrast and sharpening of IN", RunAutoContrast,
       AutoContrastCommandOptions},
  };
  return kCommands;
}

}  // namespace brumeleaf::cli
