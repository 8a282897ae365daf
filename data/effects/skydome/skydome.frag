#version 420 compatibility
// Sky: the horizon colour fading up to a deep blue by day (a dark blue by
// night, "daylight" 0..1), with clouds from s_texture_0 drifting with
// "time" (thinner and brighter toward the zenith) and the storm picture
// s_texture_1 mixed in by tex2_factor, repeated tex2_scale times and
// drifting by tex2_offset.
uniform float time;
uniform vec4 horizon;
uniform sampler2D s_texture_0;
uniform sampler2D s_texture_1;
uniform float daylight;
uniform float tex2_factor;
uniform float tex2_scale;
uniform float tex2_offset;

in vec2 dome_uv;
in float height;

void main()
{
    vec3 zenith = mix(vec3(0.02, 0.03, 0.1), vec3(0.18, 0.38, 0.8), daylight);
    vec3 low = horizon.rgb * mix(0.25, 1.0, daylight);
    vec3 sky = mix(low, zenith, smoothstep(0.0, 0.6, height));
    float cloud = texture(s_texture_0, dome_uv * 2.0 + vec2(time, time * 0.37)).r;
    cloud *= smoothstep(0.0, 0.15, height);
    vec3 cloud_colour = mix(vec3(0.35, 0.33, 0.38), vec3(1.0, 0.97, 0.95), daylight);
    sky = mix(sky, cloud_colour, cloud * 0.85);
    vec3 storm = texture(s_texture_1, dome_uv * tex2_scale + vec2(tex2_offset, 0.0)).rgb;
    sky = mix(sky, storm, clamp(tex2_factor, 0.0, 1.0));
    gl_FragColor = vec4(sky * horizon.a, 1.0);
}
