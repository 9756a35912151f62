#include "model/view.h"

namespace brevold {

void SetViewDefaults(ViewState& v) {
  v = ViewState{};
  v.ViewPreset = {{{0, 0, 0},
                   {62, 315, 237},
                   {62, -289, 395},
                   {62, -872, 335},
                   {59, -1170, 322},
                   {427, -9764, 1282},
                   {427, -11360, 1282}}};
}

}  // namespace brevold
