#include "formats/effect/effect_states.h"

#include <sstream>
#include <unordered_set>

namespace {

const char* const kStates =
    // render states
    "zenable fillmode shademode zwriteenable alphatestenable lastpixel srcblend destblend cullmode zfunc "
    "alpharef alphafunc ditherenable alphablendenable fogenable specularenable fogcolor fogtablemode fogstart "
    "fogend fogdensity rangefogenable stencilenable stencilfail stencilzfail stencilpass stencilfunc stencilref "
    "stencilmask stencilwritemask texturefactor wrap0 wrap1 wrap2 wrap3 wrap4 wrap5 wrap6 wrap7 wrap8 wrap9 "
    "wrap10 wrap11 wrap12 wrap13 wrap14 wrap15 clipping lighting ambient fogvertexmode colorvertex localviewer "
    "normalizenormals diffusematerialsource specularmaterialsource ambientmaterialsource "
    "emissivematerialsource vertexblend clipplaneenable pointsize pointsize_min pointsize_max "
    "pointspriteenable pointscaleenable pointscale_a pointscale_b pointscale_c multisampleantialias "
    "multisamplemask patchedgestyle debugmonitortoken indexedvertexblendenable colorwriteenable "
    "colorwriteenable1 colorwriteenable2 colorwriteenable3 tweenfactor blendop positiondegree normaldegree "
    "scissortestenable slopescaledepthbias antialiasedlineenable mintessellationlevel maxtessellationlevel "
    "adaptivetess_x adaptivetess_y adaptivetess_z adaptivetess_w enableadaptivetessellation "
    "twosidedstencilmode ccw_stencilfail ccw_stencilzfail ccw_stencilpass ccw_stencilfunc blendfactor "
    "srgbwriteenable depthbias separatealphablendenable srcblendalpha destblendalpha blendopalpha clipplane "
    // texture stage states
    "colorop colorarg0 colorarg1 colorarg2 alphaop alphaarg0 alphaarg1 alphaarg2 resultarg bumpenvmat00 "
    "bumpenvmat01 bumpenvmat10 bumpenvmat11 texcoordindex bumpenvlscale bumpenvloffset textransformflags "
    "texturetransformflags constant "
    // sampler states
    "sampler texture addressu addressv addressw bordercolor magfilter minfilter mipfilter mipmaplodbias "
    "maxmiplevel maxanisotropy srgbtexture elementindex dmapoffset "
    // shaders and their constants
    "vertexshader pixelshader vertexshaderconstant vertexshaderconstantf vertexshaderconstantb "
    "vertexshaderconstanti vertexshaderconstant1 vertexshaderconstant2 vertexshaderconstant3 "
    "vertexshaderconstant4 pixelshaderconstant pixelshaderconstantf pixelshaderconstantb "
    "pixelshaderconstanti pixelshaderconstant1 pixelshaderconstant2 pixelshaderconstant3 "
    "pixelshaderconstant4 fvf "
    // transforms, lights, material
    "worldtransform viewtransform projectiontransform texturetransform lighttype lightdiffuse lightspecular "
    "lightambient lightposition lightdirection lightrange lightfalloff lightattenuation0 lightattenuation1 "
    "lightattenuation2 lighttheta lightphi lightenable materialdiffuse materialambient materialspecular "
    "materialemissive materialpower";

}  // namespace

bool IsPassState(const std::string& name) {
    static const std::unordered_set<std::string> states = [] {
        std::unordered_set<std::string> set;
        std::istringstream words(kStates);
        for (std::string word; words >> word;) set.insert(word);
        return set;
    }();
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return states.count(lower) != 0;
}
