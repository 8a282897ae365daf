#version 420 compatibility
// Radial blur, weighted by an intensity: twelve taps from the pixel toward
// the origin (RadialBlurParams.xy), each Step (z) nearer, each weighing
// Step^i, the sum scaled by the intensity (w) and the current colour. The
// result is added onto the target.
uniform sampler2D image;
uniform vec4 RadialBlurParams;

in vec2 uv;

void main()
{
    vec2 origin = RadialBlurParams.xy;
    float step_toward = clamp(RadialBlurParams.z, 0.0, 1.0);
    vec3 sum = vec3(0.0);
    float weight = 1.0, total = 0.0;
    vec2 p = uv - origin;
    for (int i = 0; i < 12; ++i) {
        sum += texture(image, origin + p).rgb * weight;
        total += weight;
        p *= step_toward;
        weight *= step_toward;
    }
    gl_FragColor = vec4(sum / total * RadialBlurParams.w, 1.0) * gl_Color;
}
