#version 420 compatibility
// Radial blur, weighted by the number of taps: RadialBlurParams.w taps (1
// to 32) from the pixel toward the origin (xy), each Step (z) nearer, all of
// equal weight, times the current colour. The result is added onto the
// target.
uniform sampler2D image;
uniform vec4 RadialBlurParams;

in vec2 uv;

void main()
{
    vec2 origin = RadialBlurParams.xy;
    float step_toward = clamp(RadialBlurParams.z, 0.0, 1.0);
    int taps = int(clamp(RadialBlurParams.w, 1.0, 32.0));
    vec3 sum = vec3(0.0);
    vec2 p = uv - origin;
    for (int i = 0; i < 32; ++i) {
        if (i >= taps) break;
        sum += texture(image, origin + p).rgb;
        p *= step_toward;
    }
    gl_FragColor = vec4(sum / float(taps), 1.0) * gl_Color;
}
