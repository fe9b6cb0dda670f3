#include "standin/cli/kind_examples.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <memory>
#include <utility>

#include "core/macro.h"
#include "nodes/gradient.h"
#include "standin/scene/scene.h"
#include "standin/streams/tree_file.h"

namespace vxs {

namespace {
using vx::Node;
using vx::NodeValue;

constexpr double kPi = 3.14159265358979323846;
constexpr NodeValue kBlue{0.1, 0.3, 0.8}, kYellow{0.95, 0.8, 0.2}, kOrange{0.9, 0.5, 0.2};

// One output of a node, as a link's source.
struct Out {
    Node* node;
    const char* output;
};

// What one input gets: a link or a value.
struct Arg {
    Arg(Out o) : from(o), linked(true) {}
    Arg(double v) : value(NodeValue::scalar(v)) {}
    Arg(NodeValue v) : value(v) {}
    Out from{};
    NodeValue value{};
    bool linked = false;
};
using Inputs = std::initializer_list<std::pair<const char*, Arg>>;

// Kind names are unique across categories, so the examples name kinds alone.
const std::string& categoryOf(std::string_view kind) {
    static const std::map<std::string, std::string, std::less<>> categories = [] {
        std::map<std::string, std::string, std::less<>> out;
        const auto catalogue = nodeCatalogue();
        for (const auto& group : catalogue->children())
            for (const auto& entry : group->children()) out[entry->prototype()->name] = group->category();
        return out;
    }();
    static const std::string none;
    const auto it = categories.find(kind);
    return it == categories.end() ? none : it->second;
}

Node* node(TreeBuilder& t, const char* kind, Inputs inputs = {}, Node* macro = nullptr) {
    Node* n = t.add(categoryOf(kind), kind, macro);
    for (const auto& [name, arg] : inputs) {
        if (arg.linked) t.link(n, name, arg.from.node, arg.from.output);
        else t.set(n, name, arg.value);
    }
    return n;
}

// The root shows `out` exactly: luminous, with no diffuse, specular,
// reflected or transmitted light. Linked, because the root's unlinked
// inputs take the surface's own channels.
void show(TreeBuilder& t, Out out) {
    t.link(t.root(), "color", out.node, out.output);
    Node* zero = node(t, "value", {{"val", 0.0}});
    for (const char* channel : {"diff", "spec", "refl", "tran"}) t.link(t.root(), channel, zero, "val");
    t.link(t.root(), "lumi", node(t, "value", {{"val", 1.0}}), "val");
}
void show(TreeBuilder& t, const char* kind, Inputs inputs, const char* output) { show(t, {node(t, kind, inputs), output}); }

// 0 at the picture's left edge to 1 at its right, and top to bottom, on the
// preview ball.
Out across(TreeBuilder& t) { return {node(t, "scene"), "sx"}; }
Out down(TreeBuilder& t) { return {node(t, "scene"), "sy"}; }
Out normal(TreeBuilder& t) { return {node(t, "geom"), "norm"}; }
Out position(TreeBuilder& t) { return {node(t, "geom"), "pos"}; }
Out colour(TreeBuilder& t, NodeValue c) { return {node(t, "color", {{"col", c}}), "col"}; }
Out scaled(TreeBuilder& t, Out a, double k) { return {node(t, "mul", {{"a", a}, {"b", k}}), "r"}; }
Out shifted(TreeBuilder& t, Out a, double k) { return {node(t, "add", {{"a", a}, {"b", k}}), "r"}; }
Out component(TreeBuilder& t, Out v, const char* axis) { return {node(t, "vec -> val3", {{"vec", v}}), axis}; }
// Blue at the top to yellow at the bottom.
Out verticalBlend(TreeBuilder& t) {
    return {node(t, "mix", {{"a", colour(t, kBlue)}, {"b", colour(t, kYellow)}, {"n", down(t)}}), "r"};
}
// The colour (across, down, 0.5): black-blue at the top left, yellow-white
// at the bottom right.
Out colourField(TreeBuilder& t) { return {node(t, "val3 -> vec", {{"x", across(t)}, {"y", down(t)}, {"z", 0.5}}), "vec"}; }

// One channel of the colour field converted by the kind.
void fromRgb(TreeBuilder& t, const char* kind, const char* channel) { show(t, kind, {{"rgb", colourField(t)}}, channel); }

// Hue from the horizontal ramp, `vertical` from the vertical one and `one` at 1.
void hueToRgb(TreeBuilder& t, const char* kind, const char* vertical, const char* one) {
    show(t, kind, {{"h", across(t)}, {vertical, down(t)}, {one, 1.0}}, "rgb");
}

// A grey ramp (left to right) blended onto the blue-to-yellow gradient.
void blend(TreeBuilder& t, const char* kind) {
    show(t, kind, {{"fg", across(t)}, {"bg", verticalBlend(t)}}, "result");
}

// A shading model on an orange base; the rest of its inputs as given.
void model(TreeBuilder& t, const char* kind, Inputs inputs) {
    Node* n = node(t, kind, inputs);
    t.set(n, "base_col", kOrange);
    show(t, {n, "result"});
}

void item(TreeBuilder& t, const char* kind, const char* input, Out feed) {
    Node* n = node(t, kind, {{input, feed}});
    t.setInt(n, "from_axis", int32_t(makeItemId(HOST_LIGHT, 0)));
    show(t, {n, "r"});
}

void gradient(TreeBuilder& t, const char* kind, const char* output,
              std::initializer_list<vx::GValue> keys) {
    Node* n = node(t, kind, {{"input", component(t, normal(t), "y")}});
    auto* colour = dynamic_cast<vx::NGradientC*>(n);
    auto* value = dynamic_cast<vx::NGradientV*>(n);
    if (!colour && !value) return;  // the builder names the failure
    vx::Gradient& g = colour ? colour->gradient : value->gradient;
    g.keys.clear();
    for (const vx::GValue& k : keys) g.keys.push_back(std::make_unique<vx::GValue>(k));
    show(t, {n, output});
}

void occlusion(TreeBuilder& t, const char* kind) {
    Node* n = node(t, kind);
    t.setInt(n, "invert", 1);
    show(t, {n, "result"});
}

// clang-format off
constexpr KindExample kExamples[] = {
    {"root", nullptr,
     "The whole material, lit: an orange base with a broad highlight from the preview's light and the grey checker mirrored at a quarter strength.",
     [](TreeBuilder& t) {
         t.link(t.root(), "color", colour(t, kOrange).node, "col");
         for (const auto& [channel, v] : {std::pair{"spec", 0.6}, {"gloss", 0.3}, {"refl", 0.25}})
             t.link(t.root(), channel, node(t, "value", {{"val", v}}), "val");
     }},
    {"spot", nullptr,
     "The surface's own colour as the host hands it over: plain grey (0.785) here, where the ball has no surface of a scene.",
     [](TreeBuilder& t) { show(t, "spot", {}, "color"); }},
    {"spot_shade", "stage.json",
     "The host's standard shading of the surface's own channels (orange, 50 % specular, a little reflection), redone inside the tree.",
     [](TreeBuilder& t) { show(t, "spot_shade", {}, "result"); }},
    {"geom", nullptr,
     "The shading normal as a colour: red grows to the right, green upwards, and blue stays off because the normal faces the viewer (negative z).",
     [](TreeBuilder& t) { show(t, "geom", {}, "norm"); }},
    {"uv", "stage.json",
     "The ball's \"uv\" map as a colour: u (red) grows from 0.25 at the right of the ball to 0.75 at the left as it goes round, v (green) from the bottom pole to the top.",
     [](TreeBuilder& t) {
         Node* n = node(t, "uv");
         t.setText(n, "uv", "uv");
         show(t, {n, "uv"});
     }},
    {"vcolor", "box.json",
     "A box whose eight corners carry the colours of an RGB cube in the vertex-colour map \"paint\", blended across each face.",
     [](TreeBuilder& t) {
         Node* n = node(t, "vcolor");
         t.setText(n, "vcolor", "paint");
         show(t, {n, "col"});
     }},
    {"scene", nullptr,
     "Its \"sx\" output, the pixel's column as a fraction of the picture's width: a grey ramp from black at the left to white at the right.",
     [](TreeBuilder& t) { show(t, across(t)); }},
    {"item", nullptr,
     "The preview light's forward axis (\"z_vec\"), turned round and dotted with the normal: the ball is bright where it faces the light, up and to the left.",
     [](TreeBuilder& t) {
         Node* light = node(t, "item");
         t.setInt(light, "item", int32_t(makeItemId(HOST_LIGHT, 0)));
         show(t, "dot", {{"v1", normal(t)}, {"v2", scaled(t, {light, "z_vec"}, -1)}}, "r");
     }},
    {"value", nullptr, "A constant 0.6: the same grey everywhere.",
     [](TreeBuilder& t) { show(t, "value", {{"val", 0.6}}, "val"); }},
    {"percent", nullptr, "A constant 30 %, that is 0.3: a dark grey everywhere.",
     [](TreeBuilder& t) { show(t, "percent", {{"val", 0.3}}, "val"); }},
    {"color", nullptr, "A constant orange (0.9, 0.5, 0.2).",
     [](TreeBuilder& t) { show(t, colour(t, kOrange)); }},
    {"vector", nullptr, "A constant vector (0.2, 0.6, 1) shown as a colour.",
     [](TreeBuilder& t) { show(t, "vector", {{"vec", NodeValue{0.2, 0.6, 1}}}, "vec"); }},
    {"val3 -> vec", nullptr,
     "Three scalars made one vector: x from the horizontal ramp (red to the right), y from the vertical one (green downwards), z 0.",
     [](TreeBuilder& t) { show(t, "val3 -> vec", {{"x", across(t)}, {"y", down(t)}, {"z", 0.0}}, "vec"); }},
    {"vec -> val3", nullptr,
     "The normal's y taken out as a scalar: white at the top of the ball, fading to black across the middle, black below.",
     [](TreeBuilder& t) { show(t, component(t, normal(t), "y")); }},
    {"transform", nullptr,
     "The position carried from the preview light's axes into world space: the position's colours turned with the light.",
     [](TreeBuilder& t) { item(t, "transform", "pos", scaled(t, position(t), 2)); }},
    {"vtransform", nullptr,
     "The normal turned from the preview light's axes into world space: the normal's colours, rotated with the light.",
     [](TreeBuilder& t) { item(t, "vtransform", "vec", normal(t)); }},
    {"add", nullptr,
     "The normal plus 0.5 in every channel: the normal's colours lifted, so that its negative half shows too.",
     [](TreeBuilder& t) { show(t, shifted(t, normal(t), 0.5)); }},
    {"sub", nullptr,
     "The horizontal ramp minus (0.25, 0.5, 0.75): red rises first, then green, then blue, from black at the left.",
     [](TreeBuilder& t) { show(t, "sub", {{"a", across(t)}, {"b", NodeValue{0.25, 0.5, 0.75}}}, "r"); }},
    {"mul", nullptr, "Orange times the horizontal ramp: black at the left, full orange at the right.",
     [](TreeBuilder& t) { show(t, "mul", {{"a", colour(t, kOrange)}, {"b", across(t)}}, "r"); }},
    {"div", nullptr,
     "0.1 divided by the horizontal ramp: white where the ramp is below 0.1, then fading as 0.1 / x towards the right.",
     [](TreeBuilder& t) { show(t, "div", {{"a", 0.1}, {"b", across(t)}}, "r"); }},
    {"dot", nullptr,
     "The normal dotted with (-1, 1, -1) / 1.73, up, left and towards the viewer: lit like a light from there, black where the product is negative.",
     [](TreeBuilder& t) { show(t, "dot", {{"v1", normal(t)}, {"v2", NodeValue{-0.577, 0.577, -0.577}}}, "r"); }},
    {"cross", nullptr,
     "The normal crossed with (0, 0, 1): red is the normal's y (the top half), green its x negated (the left half).",
     [](TreeBuilder& t) { show(t, "cross", {{"v1", normal(t)}, {"v2", NodeValue{0, 0, 1}}}, "r"); }},
    {"mix", nullptr, "Blue and orange mixed by the horizontal ramp: blue at the left, orange at the right.",
     [](TreeBuilder& t) { show(t, "mix", {{"a", colour(t, kBlue)}, {"b", colour(t, kOrange)}, {"n", across(t)}}, "r"); }},
    {"clamp", nullptr,
     "The normal's colours held between 0.2 and 0.6: flat where they leave that band, so the ball looks flattened and grey-tinted.",
     [](TreeBuilder& t) { show(t, "clamp", {{"v", normal(t)}, {"min", 0.2}, {"max", 0.6}}, "r"); }},
    {"clamp_low", nullptr,
     "The normal's colours raised to at least 0.3: the black of its negative parts becomes a dark grey.",
     [](TreeBuilder& t) { show(t, "clamp_low", {{"v", normal(t)}, {"min", 0.3}}, "r"); }},
    {"clamp_high", nullptr, "The normal's colours cut off at 0.5: the bright rims go flat.",
     [](TreeBuilder& t) { show(t, "clamp_high", {{"v", normal(t)}, {"max", 0.5}}, "r"); }},
    {"step", nullptr, "1 where the horizontal ramp reaches 0.5, else 0: black on the left half, white on the right.",
     [](TreeBuilder& t) { show(t, "step", {{"n", 0.5}, {"v", across(t)}}, "r"); }},
    {"smoothstep", nullptr,
     "The horizontal ramp through an S-curve from 0.3 to 0.7: black, a smooth rise through the middle, white.",
     [](TreeBuilder& t) { show(t, "smoothstep", {{"min", 0.3}, {"max", 0.7}, {"v", across(t)}}, "r"); }},
    {"linearstep", nullptr,
     "The horizontal ramp re-scaled so that 0.3 is black and 0.7 white, in a straight line between.",
     [](TreeBuilder& t) { show(t, "linearstep", {{"min", 0.3}, {"max", 0.7}, {"v", across(t)}}, "r"); }},
    {"normalize", nullptr,
     "The position (0.5 long on the ball) made one unit long: the normal's colours, twice as bright as the position's.",
     [](TreeBuilder& t) { show(t, "normalize", {{"v", position(t)}}, "r"); }},
    {"length", nullptr,
     "The length of the vector (x, y, 0) made of the two ramps: darkest towards the top left, rising towards the bottom right.",
     [](TreeBuilder& t) {
         show(t, "length", {{"v", Out{node(t, "val3 -> vec", {{"x", across(t)}, {"y", down(t)}, {"z", 0.0}}), "vec"}}}, "r");
     }},
    {"distance", nullptr,
     "The distance of the position from (-0.3, 0.3, -0.4), a point on the ball's upper left: black there, growing lighter away from it.",
     [](TreeBuilder& t) { show(t, "distance", {{"p1", position(t)}, {"p2", NodeValue{-0.3, 0.3, -0.4}}}, "r"); }},
    {"radians", nullptr,
     "90 times the horizontal ramp, in degrees, turned into radians (0 to 1.57): white from about 57 degrees (1 radian) on.",
     [](TreeBuilder& t) { show(t, "radians", {{"n", scaled(t, across(t), 90)}}, "r"); }},
    {"degrees", nullptr,
     "The horizontal ramp times 0.0175 radians (1 degree), turned into degrees: 0 to 1, the ramp again.",
     [](TreeBuilder& t) { show(t, "degrees", {{"n", scaled(t, across(t), kPi / 180)}}, "r"); }},
    {"sin", nullptr, "The sine of 8 pi times the horizontal ramp: four light bands where it is positive.",
     [](TreeBuilder& t) { show(t, "sin", {{"n", scaled(t, across(t), 8 * kPi)}}, "r"); }},
    {"cos", nullptr, "The cosine of 8 pi times the horizontal ramp: the sine's bands moved a quarter turn to the left.",
     [](TreeBuilder& t) { show(t, "cos", {{"n", scaled(t, across(t), 8 * kPi)}}, "r"); }},
    {"tan", nullptr,
     "The tangent of 2 pi times the horizontal ramp: rising to white before each quarter and three-quarter mark, black just after.",
     [](TreeBuilder& t) { show(t, "tan", {{"n", scaled(t, across(t), 2 * kPi)}}, "r"); }},
    {"asin", nullptr,
     "The arcsine of the normal's x: black on the left half (negative), rising to pi/2 at the right rim.",
     [](TreeBuilder& t) { show(t, "asin", {{"n", component(t, normal(t), "x")}}, "r"); }},
    {"acos", nullptr,
     "The arccosine of the normal's x: pi at the left rim, 1 about a third from the right, falling to 0 at the right rim.",
     [](TreeBuilder& t) { show(t, "acos", {{"n", component(t, normal(t), "x")}}, "r"); }},
    {"atan", nullptr,
     "The arctangent of 4 times the normal's x: black on the left half, rising quickly right of the middle towards 1.33.",
     [](TreeBuilder& t) { show(t, "atan", {{"n", scaled(t, component(t, normal(t), "x"), 4)}}, "r"); }},
    {"atan2", nullptr,
     "The angle of the normal around the view axis, atan2(y, x): 0 along the right, white past 1 radian and on round to pi at the left; black below the middle, where it is negative.",
     [](TreeBuilder& t) {
         Node* n = node(t, "vec -> val3", {{"vec", normal(t)}});
         show(t, "atan2", {{"a", Out{n, "y"}}, {"b", Out{n, "x"}}}, "r");
     }},
    {"abs", nullptr, "The absolute value of the normal's x: black down the middle, white at both rims.",
     [](TreeBuilder& t) { show(t, "abs", {{"n", component(t, normal(t), "x")}}, "r"); }},
    {"mod", nullptr, "4 times the horizontal ramp, modulo 1: four ramps from black to white.",
     [](TreeBuilder& t) { show(t, "mod", {{"a", scaled(t, across(t), 4)}, {"b", 1.0}}, "r"); }},
    {"sqrt", nullptr, "The square root of the horizontal ramp: a ramp that brightens quickly on the left.",
     [](TreeBuilder& t) { show(t, "sqrt", {{"n", across(t)}}, "r"); }},
    {"pow", nullptr, "The horizontal ramp to the power 4: dark until the right third.",
     [](TreeBuilder& t) { show(t, "pow", {{"a", across(t)}, {"b", 4.0}}, "r"); }},
    {"exp", nullptr, "e to the power 4 x - 3, x the horizontal ramp: 0.05 at the left, white from three quarters on.",
     [](TreeBuilder& t) { show(t, "exp", {{"n", shifted(t, scaled(t, across(t), 4), -3)}}, "r"); }},
    {"log", nullptr,
     "The natural logarithm of 3 times the horizontal ramp: black up to a third (below 0 there), then rising to 1.1.",
     [](TreeBuilder& t) { show(t, "log", {{"n", scaled(t, across(t), 3)}}, "r"); }},
    {"logn", nullptr,
     "The base-10 logarithm of 10 times the horizontal ramp: black in the first tenth, then rising to 1 at the right.",
     [](TreeBuilder& t) { show(t, "logn", {{"a", scaled(t, across(t), 10)}, {"b", 10.0}}, "r"); }},
    {"tex_col", nullptr,
     "A texture with one procedural marble layer (1 m a pattern unit, 5 octaves): cream veins through blue-grey.", nullptr},
    {"tex_val", nullptr, "A texture of one procedural noise layer as a value: soft grey blotches.", nullptr},
    {"tex_bump", nullptr,
     "A noise texture (0.2 m) as a bump at 30 %: the tilted normal that comes out, as a colour: the normal's own colours (green up, red right) broken into blotches.", nullptr},
    {"img_col", "stage.json",
     "The image \"planks\" looked up at the ball's \"uv\" coordinates: the boards wrap once around the ball.", nullptr},
    {"img_val", "stage.json", "The same look-up as a value: the planks' brightness in grey.", nullptr},
    {"env_col", nullptr,
     "A colour envelope (red at 0 s, green at 1 s, blue at 2 s) read at 2 s times the horizontal ramp: red at the left to blue at the right.", nullptr},
    {"env_val", nullptr,
     "A value envelope (0 at 0 s, 1 at 1 s, 0.2 at 2 s) read at 2 s times the horizontal ramp: dark, bright in the middle, darker again.", nullptr},
    {"grad_col", nullptr,
     "The normal's y through keys blue (-1), white (0) and orange (1): orange at the top, white across the middle, blue at the bottom.",
     [](TreeBuilder& t) {
         gradient(t, "grad_col", "col", {{-1, 0.1, 0.3, 0.8, 1}, {0, 1, 1, 1, 1}, {1, 0.9, 0.5, 0.2, 1}});
     }},
    {"grad_val", nullptr,
     "The normal's y through value keys 0 (-0.2), 1 (0) and 0 (0.2): a white band around the middle, black above and below.",
     [](TreeBuilder& t) { gradient(t, "grad_val", "val", {{-0.2, 0, 0, 0, 1}, {0, 1, 0, 0, 1}, {0.2, 0, 0, 0, 1}}); }},
    {"multiply", nullptr,
     "A grey ramp (black at the left, white at the right) multiplied onto a gradient from blue at the top to yellow at the bottom: black at the left, the gradient itself at the right.",
     [](TreeBuilder& t) { blend(t, "multiply"); }},
    {"screen", nullptr,
     "The same grey ramp screened onto the blue-to-yellow gradient: the gradient at the left, white at the right.",
     [](TreeBuilder& t) { blend(t, "screen"); }},
    {"overlay", nullptr,
     "The grey ramp overlaid on the blue-to-yellow gradient: darker at the left, lighter at the right, the gradient's contrast kept.",
     [](TreeBuilder& t) { blend(t, "overlay"); }},
    {"difference", nullptr,
     "The difference of the grey ramp and the blue-to-yellow gradient: the gradient at the left, its inverse at the right.",
     [](TreeBuilder& t) { blend(t, "difference"); }},
    {"exclusion", nullptr,
     "The grey ramp excluded from the blue-to-yellow gradient: like difference, but grey through the middle.",
     [](TreeBuilder& t) { blend(t, "exclusion"); }},
    {"lighten", nullptr,
     "The lighter of the grey ramp and the blue-to-yellow gradient, channel by channel: the gradient at the left, white at the right.",
     [](TreeBuilder& t) { blend(t, "lighten"); }},
    {"darken", nullptr,
     "The darker of the grey ramp and the blue-to-yellow gradient, channel by channel: black at the left, the gradient at the right.",
     [](TreeBuilder& t) { blend(t, "darken"); }},
    {"hardlight", nullptr,
     "The grey ramp as a hard light on the blue-to-yellow gradient: black at the left, white at the right, the gradient through the middle.",
     [](TreeBuilder& t) { blend(t, "hardlight"); }},
    {"softlight", nullptr,
     "The grey ramp as a soft light on the blue-to-yellow gradient: the gradient darkened at the left and lightened at the right.",
     [](TreeBuilder& t) { blend(t, "softlight"); }},
    {"color dodge", nullptr,
     "The blue-to-yellow gradient dodged by the grey ramp: brightening to white towards the right.",
     [](TreeBuilder& t) { blend(t, "color dodge"); }},
    {"color burn", nullptr,
     "The blue-to-yellow gradient burnt by the grey ramp: black where ramp and gradient add up to less than 1, the gradient at the right.",
     [](TreeBuilder& t) { blend(t, "color burn"); }},
    {"refl_vec", nullptr,
     "The view ray mirrored about the normal, as a colour: straight back at the centre (black), turning right (red) and up (green) away from it, and forwards (blue) at the very rim.",
     [](TreeBuilder& t) { show(t, "refl_vec", {}, "refl_vec"); }},
    {"tran_vec", nullptr,
     "The view ray bent into the ball with eta 1.3, as a colour: blue all over, as the ray goes on into the ball (+z).",
     [](TreeBuilder& t) { show(t, "tran_vec", {}, "tran_vec"); }},
    {"fresnel", nullptr,
     "The share of light reflected (\"refl\") for eta 1.3: nearly black where the ball faces the viewer, white at the grazing rim.",
     [](TreeBuilder& t) { show(t, "fresnel", {}, "refl"); }},
    {"incidence", nullptr,
     "How straight the view meets the surface, the cosine of the angle: white in the centre, black at the rim.",
     [](TreeBuilder& t) { show(t, "incidence", {}, "result"); }},
    {"incidence2", nullptr,
     "The same cosine mapped to 0 .. 1 as (c + 1) / 2: white in the centre, mid grey at the rim.",
     [](TreeBuilder& t) { show(t, "incidence2", {}, "result"); }},
    {"pol_face", "faces.json",
     "Two cards, the left seen from its front (orange), the right from its back (blue).",
     [](TreeBuilder& t) { show(t, "pol_face", {{"front", colour(t, kOrange)}, {"back", colour(t, kBlue)}}, "result"); }},
    {"decay_linear", nullptr,
     "The horizontal ramp as a distance, near 0.2 and far 0.8: 1 up to a fifth, falling in a straight line to 0 at four fifths.",
     [](TreeBuilder& t) { show(t, "decay_linear", {{"dist", across(t)}, {"near", 0.2}, {"far", 0.8}}, "result"); }},
    {"decay_exp", nullptr,
     "The horizontal ramp as a distance, near 0.2, scale 5: 1 up to a fifth, then falling as exp(-5 (d - 0.2)).",
     [](TreeBuilder& t) { show(t, "decay_exp", {{"dist", across(t)}, {"near", 0.2}, {"scale", 5.0}}, "result"); }},
    {"decay_pow", nullptr,
     "The horizontal ramp as a distance, near 0.2, scale 5, power 2: 1 up to a fifth, then falling as 1 / (1 + 5 (d - 0.2)) squared.",
     [](TreeBuilder& t) {
         show(t, "decay_pow", {{"dist", across(t)}, {"near", 0.2}, {"scale", 5.0}, {"coeff", 2.0}}, "result");
     }},
    {"rgb -> hsv", nullptr,
     "The hue (\"h\") of the colour (x, y, 0.5) made of the ramps, as grey from 0 (black, red) to 1 (white): a jump where magenta-red wraps round to red.",
     [](TreeBuilder& t) { fromRgb(t, "rgb -> hsv", "h"); }},
    {"hsv -> rgb", nullptr,
     "Hue from the horizontal ramp and saturation from the vertical one, value 1: the colour wheel from left to right, white at the top.",
     [](TreeBuilder& t) { hueToRgb(t, "hsv -> rgb", "s", "v"); }},
    {"rgb -> hls", nullptr,
     "The lightness (\"l\") of the colour (x, y, 0.5) made of the ramps: half the sum of its largest and smallest channel.",
     [](TreeBuilder& t) { fromRgb(t, "rgb -> hls", "l"); }},
    {"hls -> rgb", nullptr,
     "Hue from the horizontal ramp and lightness from the vertical one, saturation 1: black at the top, pure hues in the middle, white at the bottom.",
     [](TreeBuilder& t) { hueToRgb(t, "hls -> rgb", "l", "s"); }},
    {"rgb -> ycc", nullptr,
     "The luma (\"y\") of the colour (x, y, 0.5) made of the ramps: the green channel, growing downwards, weighs most.",
     [](TreeBuilder& t) { fromRgb(t, "rgb -> ycc", "y"); }},
    {"ycc -> rgb", nullptr,
     "Luma 0.5 with the red difference from the horizontal ramp and the blue one from the vertical, both centred on 0: reds to the right, blues downwards.",
     [](TreeBuilder& t) {
         show(t, "ycc -> rgb", {{"y", 0.5}, {"cr", shifted(t, across(t), -0.5)}, {"cb", shifted(t, down(t), -0.5)}}, "rgb");
     }},
    {"raytrace", "stage.json",
     "What a ray along the normal finds: the sky above, the checker floor below and the boxes at the sides.",
     [](TreeBuilder& t) { show(t, "raytrace", {{"dir", normal(t)}}, "result"); }},
    {"raycast", "stage.json",
     "How far a ray along the normal goes before it hits something: dark near the floor, white (nothing hit) elsewhere.",
     [](TreeBuilder& t) { show(t, "raycast", {{"dir", normal(t)}}, "dist"); }},
    {"reflect", "stage.json", "A mirror: the floor, the boxes and the sky reflected in the ball.",
     [](TreeBuilder& t) { show(t, "reflect", {}, "result"); }},
    {"refract", "stage.json", "Glass with eta 1.4: the scene behind the ball seen through it, upside down.",
     [](TreeBuilder& t) { show(t, "refract", {}, "result"); }},
    {"reflect_blur", "stage.json", "A mirror blurred by 0.3, averaging a jittered 3 x 3 bundle of rays at each sample.",
     [](TreeBuilder& t) { show(t, "reflect_blur", {{"refl_blur", 0.3}}, "result"); }},
    {"refract_blur", "stage.json", "Glass with eta 1.4 blurred by 0.3: frosted.",
     [](TreeBuilder& t) { show(t, "refract_blur", {{"tran_blur", 0.3}}, "result"); }},
    {"fullambient", "stage.json",
     "Indirect light: the radiosity the stand-in gathers, 64 rays a point, from the floor and the boxes, boosted twice; grainy, as so few rays are.",
     [](TreeBuilder& t) { show(t, "fullambient", {{"boost", 2.0}}, "result"); }},
    {"ambient", "stage.json", "The scene's flat ambient light, boosted 4 times: an even grey disc, with no shape.",
     [](TreeBuilder& t) { show(t, "ambient", {{"boost", 4.0}}, "result"); }},
    {"radiosity", "stage.json",
     "The radiosity light alone, boosted twice: the light bounced off the floor and the boxes onto the ball, grainy with 64 rays a point.",
     [](TreeBuilder& t) { show(t, "radiosity", {{"boost", 2.0}}, "result"); }},
    {"caustics", "stage.json",
     "The caustics light: the stand-in host computes none, so the ball stays black; a host that does shows focused light here.",
     [](TreeBuilder& t) { show(t, "caustics", {{"boost", 2.0}}, "result"); }},
    {"backlight", "stage.json",
     "Light arriving at the back of the surface, as through a thin sheet: the blue rim light from behind (which casts no shadows), strongest where the ball faces the viewer.",
     [](TreeBuilder& t) { show(t, "backlight", {}, "result"); }},
    {"backlight wrapped", "stage.json",
     "Back light wrapped by 0.25: the blue rim light from behind, reaching further round towards the ball's edge.",
     [](TreeBuilder& t) { show(t, "backlight wrapped", {}, "result"); }},
    {"translucent", "stage.json",
     "Translucency of an orange base: light that passes into the ball and out here, brightest on the side the key light reaches, dark where it would have to cross the whole ball.",
     [](TreeBuilder& t) { model(t, "translucent", {}); }},
    {"occlusion", "stage.json",
     "Inverted occlusion, the share of 108 rays a point that escape: light grey over the ball, as the floor takes the rays that leave it downwards.",
     [](TreeBuilder& t) { occlusion(t, "occlusion"); }},
    {"half occlusion", "stage.json",
     "Inverted half occlusion: every ray below the horizon counts as blocked, as over an endless ground, and the rest as for occlusion.",
     [](TreeBuilder& t) { occlusion(t, "half occlusion"); }},
    {"Lambert", "stage.json", "Plain diffuse light on an orange base: the warm key light from the upper left.",
     [](TreeBuilder& t) { model(t, "Lambert", {}); }},
    {"Oren-Nayer", "stage.json", "Rough diffuse light (roughness 0.5): flatter than Lambert, brighter towards the rim.",
     [](TreeBuilder& t) { model(t, "Oren-Nayer", {}); }},
    {"Wrapped-Diffuse", "stage.json", "Diffuse light wrapped by 0.5: the light reaches past the edge of the lit half.",
     [](TreeBuilder& t) { model(t, "Wrapped-Diffuse", {{"wrap", 0.5}}); }},
    {"Blinn", "stage.json", "The Blinn highlight alone (gloss 0.4): a spot from the key light, and the blue rim light's at the top edge.",
     [](TreeBuilder& t) { model(t, "Blinn", {}); }},
    {"Phong", "stage.json", "The Phong highlight alone (gloss 0.4): a round spot from the key light.",
     [](TreeBuilder& t) { model(t, "Phong", {}); }},
    {"Metallic", "stage.json", "A metal highlight (gloss 0.4): a small, bright spot where the key light reflects.",
     [](TreeBuilder& t) { model(t, "Metallic", {}); }},
    {"Cook-Torrance", "stage.json", "The Cook-Torrance highlight (gloss 0.4): the key light's spot, and the rim light's at the top edge.",
     [](TreeBuilder& t) { model(t, "Cook-Torrance", {}); }},
    {"Anisotropic", "stage.json",
     "A highlight stretched along the up direction (gloss 0.4 across, 0.2 along): a streak rather than a spot.",
     [](TreeBuilder& t) { model(t, "Anisotropic", {}); }},
    {"Velvet", "stage.json", "A sheen that grows towards the silhouette (gloss 0.4), as on cloth.",
     [](TreeBuilder& t) { model(t, "Velvet", {}); }},
    {"macro", nullptr,
     "A macro whose inner tree makes stripes (the horizontal ramp times 25 through \"sin\"); the outer tree sees only its \"result\".",
     [](TreeBuilder& t) {
         Node* m = node(t, "macro");
         Node* times = node(t, "mul", {{"a", Out{node(t, "scene", {}, m), "sx"}}, {"b", 25.0}}, m);
         Node* sine = node(t, "sin", {{"n", Out{times, "r"}}}, m);
         node(t, "macro root", {{"result", Out{sine, "r"}}}, m);
         show(t, {m, "result"});
     }},
    {"macro root", nullptr,
     "Inside a macro, what is linked into \"result\" comes out of the macro: here blue and orange mixed by the normal's x.",
     [](TreeBuilder& t) {
         Node* m = node(t, "macro");
         Node* geom = node(t, "geom", {}, m);
         Node* x = node(t, "vec -> val3", {{"vec", Out{geom, "norm"}}}, m);
         Node* a = node(t, "color", {{"col", kBlue}}, m);
         Node* b = node(t, "color", {{"col", kOrange}}, m);
         Node* mix = node(t, "mix", {{"a", Out{a, "col"}}, {"b", Out{b, "col"}}, {"n", Out{x, "x"}}}, m);
         node(t, "macro root", {{"result", Out{mix, "r"}}}, m);
         show(t, {m, "result"});
     }},
};
// clang-format on
}  // namespace

std::span<const KindExample> kindExamples() { return kExamples; }

const KindExample* findKindExample(std::string_view kind) {
    for (const KindExample& e : kExamples)
        if (kind == e.kind) return &e;
    return nullptr;
}

void buildKindExample(const KindExample& example, TreeBuilder& tree) {
    example.build(tree);
    tree.placeRootLast();
}

std::string kindStem(std::string_view kind) {
    std::string stem;
    for (const char c : kind) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) stem += c;
        else if (c >= 'A' && c <= 'Z') stem += char(c - 'A' + 'a');
        else if (!stem.empty() && stem.back() != '-') stem += '-';
    }
    while (!stem.empty() && stem.back() == '-') stem.pop_back();
    return stem;
}

}  // namespace vxs
