#version 420 compatibility
// A block in the current colour with a pale rim, so it reads on any ground.
in vec2 corner_uv;

void main()
{
    vec2 d = abs(corner_uv - 0.5) * 2.0;
    float rim = smoothstep(0.72, 0.86, max(d.x, d.y));
    vec3 pale = mix(vec3(0.55, 0.7, 0.9), vec3(0.95, 0.97, 1.0), corner_uv.y);
    gl_FragColor = vec4(mix(gl_Color.rgb, pale, rim), 1.0);
}
